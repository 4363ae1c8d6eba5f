#include "document/encoding.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using Bytes = std::array<unsigned char, 4>;

// The buffer a loader holds after reading the first four bytes of a file of this size: what
// lies beyond the end of the file reads as zero.
Bytes FirstBytes(std::uint32_t size, Bytes file) {
    for (std::uint32_t i = size; i < 4; ++i) {
        file[i] = 0;
    }
    return file;
}

bool StartsWith(const Bytes& b, std::uint32_t size, std::initializer_list<unsigned char> mark) {
    if (size < mark.size()) {
        return false;
    }
    std::size_t i = 0;
    for (unsigned char m : mark) {
        if (b[i++] != m) {
            return false;
        }
    }
    return true;
}

// The marks as a reader would state them, from the longest down.
Recognition Reference(std::uint32_t size, const Bytes& b) {
    if (StartsWith(b, size, {0xFF, 0xFE, 0x00, 0x00}) ||
        StartsWith(b, size, {0x00, 0x00, 0xFE, 0xFF}) || StartsWith(b, size, {0xEF, 0xBB, 0xBF}) ||
        StartsWith(b, size, {0xFE, 0xFF})) {
        return {false, 0, 0};
    }
    if (StartsWith(b, size, {0xFF, 0xFE})) {
        return {true, kEncodingUtf16Le, 2};
    }
    return {true, kEncodingAnsi, 0};
}

std::string Describe(std::uint32_t size, const Bytes& b) {
    std::ostringstream text;
    text << "size " << size << ", bytes" << std::hex;
    for (unsigned char byte : b) {
        text << ' ' << int{byte};
    }
    return text.str();
}

TEST(Recognition, AgreesWithTheMarksForEverySizeAndEveryMixOfMarkBytes) {
    const unsigned char interesting[] = {0x00, 0x41, 0xBB, 0xBF, 0xEF, 0xFE, 0xFF};
    int cases = 0;
    for (std::uint32_t size = 0; size <= 6; ++size) {
        for (unsigned char b0 : interesting)
            for (unsigned char b1 : interesting)
                for (unsigned char b2 : interesting)
                    for (unsigned char b3 : interesting) {
                        const Bytes bytes = FirstBytes(size, {b0, b1, b2, b3});
                        const Recognition got = Recognise(size, bytes);
                        const Recognition want = Reference(size, bytes);
                        ASSERT_EQ(got.accepted, want.accepted) << Describe(size, bytes);
                        if (want.accepted) {
                            ASSERT_EQ(got.encoding, want.encoding) << Describe(size, bytes);
                            ASSERT_EQ(got.markLength, want.markLength) << Describe(size, bytes);
                        }
                        ++cases;
                    }
    }
    EXPECT_EQ(cases, 7 * 2401);
}

// Files longer than the exhaustive sizes above, and bytes outside its set.
TEST(Recognition, LooksOnlyAtTheMarkInLongerFiles) {
    EXPECT_FALSE(Recognise(100, {0xFF, 0xFE, 0x00, 0x00}).accepted) << "UTF-32 LE";
    EXPECT_FALSE(Recognise(10, {0xEF, 0xBB, 0xBF, 'a'}).accepted) << "UTF-8";
    EXPECT_FALSE(Recognise(7, {0xFE, 0xFF, 0x00, 'a'}).accepted) << "UTF-16 BE";
    EXPECT_EQ(Recognise(8, {'a', 0, 'b', 0}).encoding, kEncodingAnsi) << "unmarked UTF-16";
    EXPECT_EQ(Recognise(4, {0xC5, 0xBE, 'a', 'b'}).encoding, kEncodingAnsi) << "unmarked UTF-8";
}

} // namespace
