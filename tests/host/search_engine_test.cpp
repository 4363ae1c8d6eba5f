// The search engine against a deliberately simple model of it (every position tried in order,
// every unit compared, the replaced text built as a new string; no code of the engine's).
#include "search/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {
namespace model {

// The case forms the tests use, unit by unit: ASCII letters, whose forms differ in one bit,
// and y with diaeresis, U+00FF and U+0178, whose forms differ in four.
std::u16string CaseForm(std::u16string text, bool upper) {
    for (Unit& unit : text) {
        if (upper ? unit >= u'a' && unit <= u'z' : unit >= u'A' && unit <= u'Z') {
            unit ^= 0x20;
        } else if (unit == (upper ? u'\u00FF' : u'\u0178')) {
            unit = upper ? u'\u0178' : u'\u00FF';
        }
    }
    return text;
}

// A search string with its case forms, kept alive for the SearchPattern that views them.
struct Query {
    std::u16string find;
    bool matchCase = true;
    std::u16string lower = CaseForm(find, false);
    std::u16string upper = CaseForm(find, true);

    SearchPattern Pattern() const { return {find, matchCase, lower, upper}; }
};

bool MatchesAt(const std::u16string& text, const Query& query, std::size_t p) {
    const std::size_t n = query.find.size();
    bool agrees = n > 0 && p + n <= text.size();
    for (std::size_t i = 0; agrees && i < n; ++i) {
        const Unit unit = text[p + i];
        agrees = query.matchCase ? unit == query.find[i]
                                 : unit == query.lower[i] || unit == query.upper[i];
    }
    return agrees;
}

// The nearest match at or after `start` downwards, or before it upwards. A match that would run
// past the end is no match, which is all the clamping of an upward start amounts to.
std::optional<std::uint32_t> Nearest(const std::u16string& text, const Query& query,
                                     std::uint32_t start, bool down) {
    std::optional<std::uint32_t> found;
    for (std::uint32_t p = 0; p <= text.size() && !(down && found); ++p) {
        if (MatchesAt(text, query, p) && (down ? p >= start : p < start)) {
            found = p;
        }
    }
    return found;
}

// Where a search from the selection [a, b), a <= b, starts for a search string of n units:
// downwards a text of its length from one unit after its start (overlapping matches are all
// visited); upwards one of another length from its end (a match inside it is found); else a.
std::uint32_t Start(std::uint32_t a, std::uint32_t b, std::size_t n, bool down) {
    const std::size_t k = b - a;
    return down ? (k == n && k > 0 ? a + 1 : a) : (k > 0 && k != n ? b : a);
}

// The count of occurrences replaced and the text after.
using Replaced = std::pair<std::uint32_t, std::u16string>;

Replaced ReplaceAll(const std::u16string& text, const Query& query,
                    const std::u16string& replacement) {
    Replaced result;
    for (std::size_t p = 0; p < text.size();) {
        if (MatchesAt(text, query, p)) {
            result.second += replacement;
            p += query.find.size();
            ++result.first;
        } else {
            result.second += text[p++];
        }
    }
    return result;
}

} // namespace model

// The text in a block of exactly its length and the zero, so that AddressSanitizer sees any
// access outside; a resize moves it, as GlobalReAlloc may. Resize and chunks can be refused.
class ExactBlock : public ReplaceAllMemory {
  public:
    explicit ExactBlock(const std::u16string& text)
        : units_(new Unit[text.size() + 1]()), length_(static_cast<std::uint32_t>(text.size())) {
        std::memcpy(units_.get(), text.data(), text.size() * sizeof(Unit));
    }

    BorrowedText Borrow() { return {units_.get(), length_}; }

    Unit* ResizeText(std::uint32_t length) override {
        ++resizes;
        lastResize = length;
        if (failResize) {
            return nullptr;
        }
        std::unique_ptr<Unit[]> resized(new Unit[std::size_t{length} + 1]());
        std::memcpy(resized.get(), units_.get(), std::min(length, length_) * sizeof(Unit));
        units_ = std::move(resized);
        length_ = length;
        return units_.get();
    }

    std::uint32_t MaxTextLength() const override { return maxLength; }

    // Counts the chunks of match positions and can refuse one of them.
    void* AllocateChunk(std::size_t bytes) override {
        if (++chunksAsked == failChunk) {
            return nullptr;
        }
        ++chunksHeld;
        return ReplaceAllMemory::AllocateChunk(bytes);
    }

    void FreeChunk(void* chunk) override {
        --chunksHeld;
        ReplaceAllMemory::FreeChunk(chunk);
    }

    // After a Replace All: the text of the length the engine left in the BorrowedText (a shorter
    // text keeps its block), or a mark when the engine's text is not in this block.
    std::u16string Adopted(const BorrowedText& text) const {
        const bool inBlock = text.units == units_.get() && text.length <= length_;
        return inBlock ? std::u16string(units_.get(), text.length) : u"(not in its block)";
    }

    bool failResize = false;
    int failChunk = 0; // the chunk allocation that fails, counted from 1; 0 for none
    std::uint32_t maxLength = kMaxTextLength;
    int resizes = 0, chunksAsked = 0, chunksHeld = 0;
    std::uint32_t lastResize = 0;

  private:
    std::unique_ptr<Unit[]> units_;
    std::uint32_t length_; // units before the block's last one
};

using model::Query;

std::optional<std::uint32_t> Find(const std::u16string& text, const Query& query,
                                  std::uint32_t start, bool down = true) {
    return (down ? FindForward : FindBackward)(ExactBlock(text).Borrow(), query.Pattern(), start);
}

// Replace All in an exact block, checking what every run with enough memory must do: the text
// terminated in its block, positions and one resize only when it grows, every chunk given back.
model::Replaced Replace(const std::u16string& text, const Query& query,
                        const std::u16string& replacement) {
    ExactBlock block(text);
    BorrowedText borrowed = block.Borrow();
    const ReplaceAllResult result = ReplaceAll(borrowed, query.Pattern(), replacement, block);
    EXPECT_FALSE(result.outOfMemory);
    EXPECT_EQ(borrowed.units[borrowed.length], u'\0');
    const bool grows = replacement.size() > query.find.size() && result.count > 0;
    EXPECT_EQ(block.resizes, grows ? 1 : 0);
    EXPECT_EQ(block.chunksAsked > 0, grows) << block.chunksAsked << " chunks asked";
    EXPECT_EQ(block.chunksHeld, 0);
    return {result.count, block.Adopted(borrowed)};
}

// Every offset in texts long enough for blocks, block edges on both sides of the match, for the
// one-unit and the longer routines. The filter's rarest units lie inside the search strings or
// at their ends, and the rest of the text passes one filter position everywhere.
TEST(Search, FindsAMatchAtEveryOffsetOfTextsUpToEightyUnits) {
    const std::pair<Query, Unit> rows[] = {
        {{u"a"}, u'x'},
        {{u"A", false}, u'x'},
        {{u"ab"}, u'a'},
        {{u"Ab", false}, u'B'},
        {{u"eez"}, u'z'},
        {{u"every zebra"}, u'z'},
        {{u"eVeRy ZeBrA", false}, u'Z'},
        {{u"\u0178", false}, u'x'},
        {{u"a\u00FFa", false}, u'\u0178'},
    };
    for (const auto& [query, filler] : rows) {
        const auto n = static_cast<std::uint32_t>(query.find.size());
        for (std::uint32_t length = 0; length <= 80; ++length) {
            for (std::uint32_t p = 0; p + n <= length; ++p) {
                std::u16string text(length, filler);
                text.replace(p, n, query.find);
                SCOPED_TRACE(testing::PrintToString(query.find) + " in " +
                             testing::PrintToString(text));
                EXPECT_EQ(Find(text, query, 0), p);
                EXPECT_EQ(Find(text, query, p), p);
                EXPECT_EQ(Find(text, query, p + 1), std::nullopt);
                EXPECT_EQ(Find(text, query, length, false), p);
                EXPECT_EQ(Find(text, query, p + 1, false), p);
                EXPECT_EQ(Find(text, query, p, false), std::nullopt);
            }
        }
    }
}

TEST(CaseIgnored, ComparesOnlyWithTheCallersFormsAndOnlyWhenTheyHaveTheSearchStringsLength) {
    // Title-case DZ with caron has the lower form U+01C6 and the upper form U+01C4; as text
    // it is neither, so it does not match although the platform calls them the same letter.
    Query dz{u"\u01C5", false, u"\u01C6", u"\u01C4"};
    EXPECT_EQ(Find(u"x\u01C5y", dz, 0), std::nullopt);
    EXPECT_EQ(Find(u"x\u01C4y", dz, 0), 1u);
    EXPECT_EQ(Find(u"x\u01C6y", dz, 0), 1u);
    dz.matchCase = true;
    EXPECT_EQ(Find(u"x\u01C5y", dz, 0), 1u);

    // Either form one unit short or long, where the units they have would match.
    for (const Query& query : {Query{u"ab", false, u"a", u"AB"}, {u"ab", false, u"abc", u"AB"}}) {
        EXPECT_EQ(Find(u"aB", query, 0), std::nullopt) << testing::PrintToString(query.lower);
        EXPECT_EQ(Replace(u"aB", query, u"c").first, 0u) << testing::PrintToString(query.lower);
    }
}

TEST(ReplaceCurrent, TheSelectionCountsWhenItHasTheLengthAndTheCallerCallsItEqual) {
    ExactBlock block(u"xxABxx");
    const Query query{u"ab", false};
    std::vector<std::u16string> asked;
    const auto ignoringCase = [&](UnitView selected, UnitView findString) {
        asked.emplace_back(selected);
        return model::CaseForm(std::u16string(selected), false) == findString;
    };
    EXPECT_TRUE(SelectionIsCurrentMatch(block.Borrow(), query.Pattern(), 2, 4, ignoringCase));
    EXPECT_FALSE(SelectionIsCurrentMatch(block.Borrow(), query.Pattern(), 1, 3, ignoringCase));
    EXPECT_EQ(asked, (std::vector<std::u16string>{u"AB", u"xA"}));

    asked.clear();
    EXPECT_FALSE(SelectionIsCurrentMatch(block.Borrow(), query.Pattern(), 2, 2, ignoringCase));
    EXPECT_FALSE(SelectionIsCurrentMatch(block.Borrow(), query.Pattern(), 2, 5, ignoringCase));
    EXPECT_FALSE(SelectionIsCurrentMatch(block.Borrow(), query.Pattern(), 5, 7, ignoringCase))
        << "a selection past the text's end";
    EXPECT_FALSE(SelectionIsCurrentMatch(block.Borrow(), Query{}.Pattern(), 2, 2, ignoringCase));
    EXPECT_TRUE(asked.empty()) << "only a selection of the right length is compared";
}

// Enough occurrences for several chunks of positions. Each chunk in turn is refused, then the
// resize, then a final length one unit beyond the largest block: each time the text stays as it
// was, every chunk is given back, the scan stops. A largest block of exactly that length takes it.
TEST(ReplaceAll, OutOfMemoryOrALengthBeyondTheLargestBlockLeavesTheTextAsItWas) {
    const std::u16string text(10000, u'a');
    const Query a{u"a"};
    ExactBlock clean(text);
    clean.maxLength = 20000;
    BorrowedText cleanText = clean.Borrow();
    ASSERT_EQ(ReplaceAll(cleanText, a.Pattern(), u"bb", clean).count, 10000u);
    EXPECT_TRUE(clean.Adopted(cleanText) == std::u16string(20000, u'b'));
    const int chunks = clean.chunksAsked;
    ASSERT_GE(chunks, 2);

    for (int fail = 1; fail <= chunks + 2; ++fail) {
        ExactBlock block(text);
        block.failChunk = fail;
        block.failResize = fail == chunks + 1;
        block.maxLength = fail == chunks + 2 ? 19999 : kMaxTextLength;
        SCOPED_TRACE(fail <= chunks     ? "chunk " + std::to_string(fail)
                     : block.failResize ? "resize"
                                        : "largest block");
        BorrowedText borrowed = block.Borrow();
        const ReplaceAllResult result = ReplaceAll(borrowed, a.Pattern(), u"bb", block);
        EXPECT_EQ(std::pair(result.outOfMemory, result.count), std::pair(true, 0u));
        EXPECT_TRUE(block.Adopted(borrowed) == text) << "the text changed";
        EXPECT_EQ(block.chunksHeld, 0);
        EXPECT_EQ(block.resizes, block.failResize ? 1 : 0);
        EXPECT_EQ(block.lastResize, block.failResize ? 2 * text.size() : 0u);
        EXPECT_EQ(block.chunksAsked, std::min(fail, chunks)) << "the scan stops at the refusal";
    }
}

// Random cases over small alphabets, named by seed and case on failure: mostly short texts, some
// long enough for blocks; search strings empty, from the alphabet, or a third drawn from the text
// (up to longer than a block, so that many candidates pass the filter). Replace All all three ways.
TEST(RandomisedAgainstModel, SearchesAndReplaceAllAgreeForAllMethodsAndCaseModes) {
    static const std::u16string alphabets[] = {
        u"aAb",     u"ab",           u"aaaaaaab", u"bbbbbbbbbbbbbbba", u"aA\r\n", u"a\uFFFF\u8000b",
        u"eeeez Z", u"a\u00FF\u0178"};
    for (const std::uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
        std::mt19937 random(seed);
        const auto below = [&random](std::size_t bound) {
            return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random);
        };
        const auto draw = [&below](const std::u16string& alphabet, std::size_t length) {
            std::u16string drawn;
            while (drawn.size() < length) {
                drawn += alphabet[below(alphabet.size())];
            }
            return drawn;
        };
        for (int i = 1; i <= 1000 && !HasFailure(); ++i) {
            const std::u16string& alphabet = alphabets[below(std::size(alphabets))];
            const std::u16string text = draw(alphabet, below(5) == 0 ? below(101) : below(13));
            const std::u16string find =
                below(3) == 0 && !text.empty()
                    ? draw(text, 1 + below(below(2) == 0 ? 6 : 40))
                    : draw(alphabet, below(6)); // an empty one matches nothing
            const Query query{find, below(2) == 0};
            SCOPED_TRACE("seed " + std::to_string(seed) + " case " + std::to_string(i) + ": text " +
                         testing::PrintToString(text) + ", search string " +
                         testing::PrintToString(find) +
                         (query.matchCase ? ", match case" : ", case ignored"));

            const auto length = static_cast<std::uint32_t>(text.size());
            const std::uint32_t step = length <= 24 ? 1 : 1 + static_cast<std::uint32_t>(below(7));
            for (std::uint32_t start = 0; start <= length + 2; start += step) {
                for (const bool down : {true, false}) {
                    EXPECT_EQ(Find(text, query, start, down),
                              model::Nearest(text, query, start, down))
                        << (down ? "down from " : "up from ") << start;
                }
            }
            // Repeated searches: from a random selection, whose ends the edit control may report
            // in either order, then from the match shown.
            const auto a = static_cast<std::uint32_t>(below(length + 1));
            const auto b = a + static_cast<std::uint32_t>(below(length - a + 1));
            const bool reversed = below(2) == 0;
            const auto n = static_cast<std::uint32_t>(find.size());
            ExactBlock block(text);
            const auto next = [&](std::uint32_t from, std::uint32_t to, bool swap, bool down) {
                const auto shown = FindNext(block.Borrow(), query.Pattern(), swap ? to : from,
                                            swap ? from : to, down);
                EXPECT_EQ(shown, model::Nearest(text, query, model::Start(from, to, n, down), down))
                    << "from [" << from << ", " << to << ")" << (down ? " down" : " up");
                return shown;
            };
            for (const bool down : {true, false}) {
                if (const auto shown = next(a, b, reversed, down)) {
                    next(*shown, *shown + n, false, down);
                }
            }

            for (const std::size_t r : {std::size_t{n}, n > 0 ? below(n) : 0, n + 1 + below(3)}) {
                const std::u16string replacement = draw(u"abX", r);
                SCOPED_TRACE("replacement " + testing::PrintToString(replacement));
                EXPECT_EQ(Replace(text, query, replacement),
                          model::ReplaceAll(text, query, replacement));
            }
        }
    }
}

} // namespace
