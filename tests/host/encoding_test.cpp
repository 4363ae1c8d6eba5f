#include "document/encoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <vector>

namespace {

// The marks from the longest down: the first one the file holds decides. What lies beyond the
// end of a short file reads as zero and is no part of a mark.
TEST(Recognition, TheLongestMarkTheFileHoldsDecides) {
    constexpr Recognition kRefused{false, 0, 0};
    constexpr Recognition kUtf16Le{true, kEncodingUtf16Le, 2};
    constexpr Recognition kAnsi{true, kEncodingAnsi, 0};
    const struct {
        std::uint32_t size;
        std::array<unsigned char, 4> bytes;
        Recognition want;
    } rows[] = {
        {1, {0xFF}, kAnsi},
        {2, {0xFF, 0xFE}, kUtf16Le},
        {3, {0xFF, 0xFE, 0x00}, kUtf16Le},
        {4, {0xFF, 0xFE, 0x00, 0x00}, kRefused},
        {100, {0xFF, 0xFE, 0x00, 0x41}, kUtf16Le},
        {3, {0x00, 0x00, 0xFE}, kAnsi},
        {100, {0x00, 0x00, 0xFE, 0xFF}, kRefused},
        {2, {0xEF, 0xBB}, kAnsi},
        {3, {0xEF, 0xBB, 0xBF}, kRefused},
        {2, {0xFE, 0xFF}, kRefused},
        {4, {0xC5, 0xBB, 0xBF, 0xFE}, kAnsi}, // an unmarked UTF-8 letter
    };
    for (const auto& row : rows) {
        const Recognition got = Recognise(row.size, row.bytes);
        EXPECT_EQ(std::tuple(got.accepted, got.accepted ? got.encoding : 0,
                             got.accepted ? got.markLength : 0),
                  std::tuple(row.want.accepted, row.want.encoding, row.want.markLength))
            << "size " << row.size << ", first byte " << int{row.bytes[0]};
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
