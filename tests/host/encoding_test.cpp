#include "document/encoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <vector>

namespace {

using Bytes = std::array<unsigned char, 4>;

// The marks as a reader would state them, from the longest down: the first one the file holds
// decides.
Recognition Reference(std::uint32_t size, const Bytes& bytes) {
    constexpr Recognition kRefused{false, 0, 0};
    const std::pair<std::vector<unsigned char>, Recognition> marks[] = {
        {{0xFF, 0xFE, 0x00, 0x00}, kRefused},
        {{0x00, 0x00, 0xFE, 0xFF}, kRefused},
        {{0xEF, 0xBB, 0xBF}, kRefused},
        {{0xFE, 0xFF}, kRefused},
        {{0xFF, 0xFE}, {true, kEncodingUtf16Le, 2}}};
    for (const auto& [mark, recognition] : marks) {
        if (size >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin())) {
            return recognition;
        }
    }
    return {true, kEncodingAnsi, 0};
}

std::string Describe(std::uint32_t size, const Bytes& bytes) {
    std::ostringstream text;
    text << "size " << size << ", bytes" << std::hex;
    for (unsigned char byte : bytes) {
        text << ' ' << int{byte};
    }
    return text.str();
}

// Every size up to past the longest mark and a long file; the mark bytes, another byte and
// the lead byte of an unmarked UTF-8 letter.
TEST(Recognition, AgreesWithTheMarksForEverySizeAndEveryMixOfMarkBytes) {
    const unsigned char interesting[] = {0x00, 0x41, 0xBB, 0xBF, 0xC5, 0xEF, 0xFE, 0xFF};
    for (const std::uint32_t size : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 100u}) {
        for (int mix = 0; mix < 8 * 8 * 8 * 8; ++mix) {
            // What a loader holds after reading the first four bytes of a file of this size:
            // what lies beyond the end of the file reads as zero.
            Bytes bytes{};
            for (std::uint32_t i = 0, rest = mix; i < std::min<std::uint32_t>(size, 4);
                 ++i, rest /= 8) {
                bytes[i] = interesting[rest % 8];
            }
            const Recognition got = Recognise(size, bytes);
            const Recognition want = Reference(size, bytes);
            ASSERT_EQ(got.accepted, want.accepted) << Describe(size, bytes);
            if (want.accepted) {
                ASSERT_EQ(got.encoding, want.encoding) << Describe(size, bytes);
                ASSERT_EQ(got.markLength, want.markLength) << Describe(size, bytes);
            }
        }
    }
}

// Shift JIS-like text, whose trail bytes take every lead byte value: a cut at every place of
// random texts ends where a forward walk over the characters says the last whole one ends.
TEST(DoubleByteSlices, EndAfterTheLastWholeCharacter) {
    std::array<bool, 256> lead{};
    for (int b = 0; b < 256; ++b) {
        lead[b] = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    }
    std::mt19937 random(20261207);
    for (int round = 0; round < 200; ++round) {
        std::vector<unsigned char> text;
        std::vector<bool> starts;
        while (text.size() < 64) {
            const bool twoBytes = random() % 2 == 0;
            starts.push_back(true);
            if (twoBytes) {
                text.push_back(static_cast<unsigned char>(random() % 2 ? 0x81 + random() % 31
                                                                       : 0xE0 + random() % 29));
                starts.push_back(false);
                text.push_back(static_cast<unsigned char>(0x40 + random() % 189));
            } else {
                text.push_back(static_cast<unsigned char>(0x20 + random() % 95));
            }
        }
        starts.push_back(true);
        for (std::size_t cut = 0; cut <= text.size(); ++cut) {
            const std::size_t want = starts[cut] ? cut : cut - 1;
            ASSERT_EQ(CompleteCharactersEnd(std::span(text.data(), cut), lead), want)
                << "round " << round << ", cut " << cut;
        }
    }
}

} // namespace
