#include "document/encoding.h"
#include "document/recovery_record.h"
#include "document/save_files.h"
#include "document/typing_walk.h"
#include "test_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

// The marks from the longest down: the first one the file holds decides. What lies beyond the
// end of a short file reads as zero and is no part of a mark.
TEST(Recognition, TheLongestMarkTheFileHoldsDecides) {
    constexpr Recognition kRefused{false, 0, 0};
    constexpr Recognition kUtf16Le{true, kEncodingUtf16Le, 2};
    constexpr Recognition kAnsi{true, kEncodingAnsi, 0};
    const std::tuple<std::uint32_t, std::array<unsigned char, 4>, Recognition> rows[] = {
        {1, {0xFF}, kAnsi},
        {2, {0xFF, 0xFE}, kUtf16Le},
        {3, {0xFF, 0xFE, 0x00}, kUtf16Le},
        {4, {0xFF, 0xFE, 0x00, 0x00}, kRefused},
        {100, {0xFF, 0xFE, 0x00, 0x41}, kUtf16Le},
        {3, {0x00, 0x00, 0xFE}, kAnsi},
        {100, {0x00, 0x00, 0xFE, 0xFF}, kRefused},
        {2, {0xEF, 0xBB}, kAnsi},
        {3, {0xEF, 0xBB, 0xBF}, kRefused},
        {2, {0xFE, 0xFF}, kRefused}};
    for (const auto& [size, bytes, want] : rows) {
        const Recognition got = Recognise(size, bytes);
        EXPECT_EQ(std::tuple(got.accepted, got.accepted ? got.encoding : 0,
                             got.accepted ? got.markLength : 0),
                  std::tuple(want.accepted, want.encoding, want.markLength))
            << "size " << size << ", first byte " << int{bytes[0]};
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
            starts.push_back(true);
            if (random() % 2 == 0) {
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

// The codes typed, each with "+" for a pause after it or "-", each step from where the last left.
std::string Walk(const std::u16string& text) {
    std::string walk;
    std::size_t position = 0;
    while (auto typed = NextTypedCharacter(text.c_str(), position)) {
        walk += (walk.empty() ? "" : " ") + std::to_string(typed->code) +
                (typed->pauseAfter ? "+" : "-");
    }
    return walk;
}

TEST(TypingWalk, TypesEachUnitAndEnterForALineBreakUpToTheFirstNul) {
    const std::pair<std::u16string, const char*> cases[] = {
        {u"a\r\nb", "97+ 13- 98+"}, // Enter for a line break, without a pause
        {u"a\rb", "97+ 98+"},       // a lone carriage return is dropped
        {u"a\nb", "97+ 10+ 98+"},   // a lone line feed is typed
        {u"", ""},
        {std::u16string(u"ab\0cd", 5), "97+ 98+"},
        {u"\U0001F600\t", "55357+ 56832+ 9+"}, // surrogates one by one
    };
    for (const auto& [text, walk] : cases) {
        EXPECT_EQ(Walk(text), walk);
    }
}

TEST(NewContentName, IsReadOnlyFromTheSavesOwnNames) {
    const std::tuple<UnitView, std::uint32_t, UnitView> owned[] = {
        {u"twk4242-1~notes.txt.tmp", 4242, u"notes.txt"},
        {u"TWK7-12~A~B.TMP.TMP", 7, u"A~B.TMP"},
        {u"twk4294967295-1.tmp", 4294967295u, u""}};
    for (const auto& [name, process, target] : owned) {
        const auto read = ReadNewContentName(name);
        ASSERT_TRUE(read) << Narrow(name);
        EXPECT_EQ(std::pair(read->process, Narrow(read->target)),
                  std::pair(process, Narrow(target)));
    }
    // Backups, foreign files and near misses belong to nobody.
    for (const UnitView name : {u"twk42-1.bak", u"twk1A2B.tmp", u"twk-1.tmp", u"twk42-.tmp",
                                u"twk42-1.tmp.txt", u"xtwk42-1.tmp", u"twk4294967296-1.tmp",
                                u"twk42-1-2.tmp", u"twk42-1~.tmp", u"twk42-1x.txt.tmp"}) {
        EXPECT_EQ(ReadNewContentName(name), std::nullopt) << Narrow(name);
    }
}

TEST(RecoveryFile, GivesBackWhatWasWrittenAndRefusesEveryDamage) {
    const RecoveryHeader headers[] = {
        {u"C:\\Tarnwick\\Tarnwick.ini", u"D:\\notes\\\u010Dtvrtek.txt",
         FileStamp{0x01DB12345678ABCDull, 40, 0xA1B2C3D4u, 0x0001000000000042ull}, 411},
        {u"C:\\Tarnwick\\Tarnwick.ini", u"", std::nullopt, 410}};
    const std::u16string text = u"line\r\n\u010Dnext\U0001F600";
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size() * 2);
    for (const RecoveryHeader& want : headers) {
        std::vector<std::uint8_t> file = RecoveryFileHead(want, bytes);
        file.insert(file.end(), bytes.begin(), bytes.end());
        const auto read = ReadRecoveryFile(file);
        ASSERT_TRUE(read);
        const RecoveryHeader& got = read->header;
        EXPECT_EQ(std::tie(got.settingsPath, got.documentPath, got.stamp, got.encoding),
                  std::tie(want.settingsPath, want.documentPath, want.stamp, want.encoding));
        EXPECT_TRUE(std::ranges::equal(read->text, bytes)) << "the text changed";
        // Any byte changed, and any cut (to nothing too), is a damaged file.
        for (std::size_t at = 0; at < file.size(); ++at) {
            std::vector<std::uint8_t> damaged = file;
            damaged[at] ^= 0x10;
            EXPECT_FALSE(ReadRecoveryFile(damaged)) << "byte " << at;
            EXPECT_FALSE(ReadRecoveryFile(std::span(file).first(at))) << "cut at " << at;
        }
    }
}

TEST(RecoveryFile, NameTellsItsOwnerAndNothingElseIsOne) {
    for (const auto owner : {RecoveryOwner{4242, 0x01DB12345678ABCDull}, {4294967295u, 0}}) {
        EXPECT_EQ(RecoveryFileOwner(RecoveryFileName(owner)), owner);
    }
    EXPECT_EQ(RecoveryFileName({7, 0xABCull}), u"Tarnwick-7-0000000000000abc.recovery");
    for (const UnitView name :
         {u"Tarnwick-7-0000000000000abc.tmp", u"Tarnwick--0000000000000abc.recovery",
          u"Tarnwick-7-000000000000abc.recovery", u"Tarnwick-4294967296-0000000000000abc.recovery",
          u"Tarnwick-7-0000000000000abg.recovery", u"twk7-1.tmp"}) {
        EXPECT_EQ(RecoveryFileOwner(name), std::nullopt) << Narrow(name);
    }
}

} // namespace
