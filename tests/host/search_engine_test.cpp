#include "search/engine.h"

#include "tests/fuzz/search_model.h"
#include "test_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using model::ExactBlock;
using model::Query;
using model::Show;

Query Exact(std::u16string find) {
    return {std::move(find), true};
}

Query Ignoring(std::u16string find) {
    return {std::move(find), false};
}

std::optional<std::uint32_t> EngineForward(const std::u16string& text, const Query& query,
                                           std::uint32_t start) {
    ExactBlock block(text);
    return FindForward(block.Borrow(), query.Pattern(), start);
}

std::optional<std::uint32_t> EngineBackward(const std::u16string& text, const Query& query,
                                            std::uint32_t start) {
    ExactBlock block(text);
    return FindBackward(block.Borrow(), query.Pattern(), start);
}

// The matches shown one after the other by repeated searches, the first from the caret.
std::vector<std::uint32_t> Walk(const std::u16string& text, const Query& query, std::uint32_t caret,
                                bool down) {
    ExactBlock block(text);
    std::vector<std::uint32_t> shown;
    std::uint32_t selStart = caret;
    std::uint32_t selEnd = caret;
    while (shown.size() <= text.size()) {
        const auto p = FindNext(block.Borrow(), query.Pattern(), selStart, selEnd, down);
        if (!p) {
            break;
        }
        shown.push_back(*p);
        selStart = *p;
        selEnd = *p + static_cast<std::uint32_t>(query.find.size());
    }
    return shown;
}

std::vector<std::uint32_t> ModelWalk(const std::u16string& text, const Query& query,
                                     std::uint32_t caret, bool down) {
    std::vector<std::uint32_t> shown;
    std::uint32_t selStart = caret;
    std::uint32_t selEnd = caret;
    while (shown.size() <= text.size()) {
        const std::uint32_t start = model::Start(selStart, selEnd, query.find.size(), down);
        const auto p =
            down ? model::Forward(text, query, start) : model::Backward(text, query, start);
        if (!p) {
            break;
        }
        shown.push_back(*p);
        selStart = *p;
        selEnd = *p + static_cast<std::uint32_t>(query.find.size());
    }
    return shown;
}

struct ReplaceOutcome {
    std::u16string text;
    ReplaceAllResult result;
    int resizes = 0;
    int chunksAsked = 0;
    int chunksHeld = 0;
    bool terminated = false;
    bool inBlock = false;
};

ReplaceOutcome Replace(const std::u16string& text, const Query& query,
                       const std::u16string& replacement) {
    ExactBlock block(text);
    BorrowedText borrowed = block.Borrow();
    ReplaceOutcome outcome;
    outcome.result = ReplaceAll(borrowed, query.Pattern(), replacement, block);
    outcome.inBlock = block.Adopt(borrowed);
    outcome.terminated = borrowed.units[borrowed.length] == u'\0';
    outcome.text = block.Text();
    outcome.resizes = block.resizes;
    outcome.chunksAsked = block.chunksAsked;
    outcome.chunksHeld = block.chunksHeld;
    return outcome;
}

TEST(Search, AnEmptySearchStringMatchesNothing) {
    for (const bool matchCase : {true, false}) {
        const Query query{u"", matchCase};
        EXPECT_EQ(EngineForward(u"abc", query, 0), std::nullopt);
        EXPECT_EQ(EngineForward(u"", query, 0), std::nullopt);
        EXPECT_EQ(EngineBackward(u"abc", query, 3), std::nullopt);
        EXPECT_EQ(Walk(u"abc", query, 1, true), std::vector<std::uint32_t>{});
        EXPECT_EQ(Walk(u"abc", query, 1, false), std::vector<std::uint32_t>{});
        const ReplaceOutcome replaced = Replace(u"abc", query, u"xyz");
        EXPECT_EQ(replaced.result.count, 0u);
        EXPECT_EQ(Narrow(replaced.text), "abc");
    }
}

TEST(Search, AStringLongerThanTheTextMatchesNothing) {
    for (const bool matchCase : {true, false}) {
        const Query query{u"abc", matchCase};
        EXPECT_EQ(EngineForward(u"ab", query, 0), std::nullopt);
        EXPECT_EQ(EngineBackward(u"ab", query, 2), std::nullopt);
        EXPECT_EQ(EngineBackward(u"ab", query, 100), std::nullopt);
        const ReplaceOutcome replaced = Replace(u"ab", query, u"longer");
        EXPECT_EQ(replaced.result.count, 0u);
        EXPECT_FALSE(replaced.result.outOfMemory);
        EXPECT_EQ(Narrow(replaced.text), "ab");
        EXPECT_EQ(replaced.chunksAsked, 0);
    }
}

TEST(Search, StopsAtTheEndsOfTheTextWithoutWrappingAround) {
    const Query ab = Exact(u"ab");
    EXPECT_EQ(EngineForward(u"abxx", ab, 4), std::nullopt) << "caret at the end";
    EXPECT_EQ(EngineForward(u"abxx", ab, 1), std::nullopt);
    EXPECT_EQ(EngineForward(u"abxx", ab, 9), std::nullopt) << "start beyond the end";
    EXPECT_EQ(EngineBackward(u"xxab", ab, 0), std::nullopt) << "caret at the start";
    EXPECT_EQ(EngineBackward(u"xxab", ab, 2), std::nullopt);
    EXPECT_EQ(EngineBackward(u"xxab", ab, 4), 2u) << "a match may end at the text's end";
    EXPECT_EQ(EngineBackward(u"xxab", ab, 3), 2u) << "the start is clamped to the last place + 1";
    EXPECT_EQ(EngineBackward(u"xxab", ab, 900), 2u);
}

TEST(Search, FromACaretDownFindsAMatchStartingThereAndUpOneStartingBefore) {
    const std::u16string text = u"xxabxx";
    EXPECT_EQ(Walk(text, Exact(u"ab"), 2, true), std::vector<std::uint32_t>{2});
    EXPECT_EQ(Walk(text, Exact(u"ab"), 3, true), std::vector<std::uint32_t>{});
    EXPECT_EQ(Walk(text, Exact(u"ab"), 4, false), std::vector<std::uint32_t>{2});
    EXPECT_EQ(Walk(text, Exact(u"ab"), 3, false), std::vector<std::uint32_t>{2})
        << "upwards a match may reach over the caret";
    EXPECT_EQ(Walk(text, Exact(u"ab"), 2, false), std::vector<std::uint32_t>{});
}

TEST(Search, RepeatedSearchesVisitOverlappingMatchesInBothDirections) {
    EXPECT_EQ(Walk(u"aaaa", Exact(u"aa"), 0, true), (std::vector<std::uint32_t>{0, 1, 2}));
    EXPECT_EQ(Walk(u"aaaa", Exact(u"aa"), 4, false), (std::vector<std::uint32_t>{2, 1, 0}));
    EXPECT_EQ(Walk(u"aaaa", Exact(u"a"), 0, true), (std::vector<std::uint32_t>{0, 1, 2, 3}));
    EXPECT_EQ(Walk(u"aaaa", Exact(u"a"), 4, false), (std::vector<std::uint32_t>{3, 2, 1, 0}));
}

// Every offset in texts long enough to be tested in blocks, with the block edges on both
// sides of the match, for the one-unit and the longer routines. The rarest units of the
// longer search strings, which the filter tests, lie inside them or at their ends, and the
// rest of the text is a unit that passes one filter position everywhere. The case forms of
// y with diaeresis differ in more than one bit, those of ASCII letters in one.
TEST(Search, FindsAMatchAtEveryOffsetOfTextsUpToEightyUnits) {
    const std::pair<Query, Unit> rows[] = {
        {Exact(u"a"), u'x'},
        {Ignoring(u"A"), u'x'},
        {Exact(u"ab"), u'a'},
        {Ignoring(u"Ab"), u'B'},
        {Exact(u"eez"), u'z'},
        {Exact(u"every zebra"), u'z'},
        {Ignoring(u"eVeRy ZeBrA"), u'Z'},
        {Ignoring(u"\u0178"), u'x'},
        {Ignoring(u"a\u00FFa"), u'\u0178'},
    };
    for (const auto& [query, filler] : rows) {
        const auto n = static_cast<std::uint32_t>(query.find.size());
        for (std::uint32_t length = 0; length <= 80; ++length) {
            for (std::uint32_t p = 0; p + n <= length; ++p) {
                std::u16string text(length, filler);
                text.replace(p, n, query.find);
                SCOPED_TRACE(Show(query.find) + " in " + Show(text));
                EXPECT_EQ(EngineForward(text, query, 0), p);
                EXPECT_EQ(EngineForward(text, query, p), p);
                EXPECT_EQ(EngineForward(text, query, p + 1), std::nullopt);
                EXPECT_EQ(EngineBackward(text, query, length), p);
                EXPECT_EQ(EngineBackward(text, query, p + 1), p);
                EXPECT_EQ(EngineBackward(text, query, p), std::nullopt);
            }
        }
    }
}

TEST(CaseIgnored, EachPositionAcceptsItsLowerOrItsUpperForm) {
    for (const std::u16string text : {u"ab", u"AB", u"aB", u"Ab"}) {
        EXPECT_EQ(EngineForward(text, Ignoring(u"Ab"), 0), 0u) << Narrow(text);
        const bool exact = text == u"Ab";
        EXPECT_EQ(EngineForward(text, Exact(u"Ab"), 0).has_value(), exact) << Narrow(text);
    }
    EXPECT_EQ(EngineForward(u"a1B2", Ignoring(u"b2"), 0), 2u) << "a digit is its own case form";
}

TEST(CaseIgnored, ComparesWithTheGivenFormsAndNeverConvertsTheText) {
    // Title-case DZ with caron has the lower form U+01C6 and the upper form U+01C4; as text
    // it is neither, so it does not match although the platform calls them the same letter.
    const std::u16string title = u"x\u01C5y";
    Query query{u"\u01C5", false, u"\u01C6", u"\u01C4"};
    EXPECT_EQ(EngineForward(title, query, 0), std::nullopt);
    EXPECT_EQ(EngineForward(u"x\u01C4y", query, 0), 1u);
    EXPECT_EQ(EngineForward(u"x\u01C6y", query, 0), 1u);
    query.matchCase = true;
    EXPECT_EQ(EngineForward(title, query, 0), 1u);
}

TEST(CaseIgnored, FormsOfAnotherLengthMatchNothing) {
    const Query query{u"ab", false, u"a", u"AB"};
    EXPECT_EQ(EngineForward(u"ab", query, 0), std::nullopt);
    EXPECT_EQ(Replace(u"ab", query, u"c").result.count, 0u);
}

TEST(StartPoint, FollowsTheSelectionsLengthOnly) {
    struct Row {
        std::uint32_t selStart, selEnd, n;
        bool down;
        std::uint32_t start;
    };
    const Row rows[] = {
        {5, 5, 2, true, 5},  // caret: a match starting at it is found
        {5, 7, 2, true, 6},  // a match just shown, or any text of its length
        {5, 8, 2, true, 5},  // another length: from its start
        {5, 5, 2, false, 5}, // caret: a match ending at it is found
        {5, 7, 2, false, 5}, // the search string's length: from its start
        {5, 9, 2, false, 9}, // another length: from its end, so a match inside it is found
        {5, 5, 0, true, 5},  {5, 5, 0, false, 5},
        {9, 5, 2, false, 9}, // a reversed selection is taken in order
    };
    for (const Row& row : rows) {
        EXPECT_EQ(FindNextStart(row.selStart, row.selEnd, row.n, row.down), row.start)
            << "[" << row.selStart << ", " << row.selEnd << ") n " << row.n
            << (row.down ? " down" : " up");
    }
}

TEST(FindNext, UpwardsFromALongerSelectionFindsAnOccurrenceInsideIt) {
    ExactBlock block(u"xxabxx");
    const Query query = Exact(u"ab");
    const SearchPattern ab = query.Pattern();
    EXPECT_EQ(FindNext(block.Borrow(), ab, 0, 6, false), 2u);
    EXPECT_EQ(FindNext(block.Borrow(), ab, 1, 4, false), 2u);
    EXPECT_EQ(FindNext(block.Borrow(), ab, 2, 4, false), std::nullopt)
        << "a selection of the search string's length starts the search at its start";
}

TEST(ReplaceCurrent, TheSelectionCountsWhenItHasTheLengthAndTheCallerCallsItEqual) {
    ExactBlock block(u"xxABxx");
    const Query query = Ignoring(u"ab");
    std::vector<std::u16string> asked;
    const auto ignoringCase = [&](UnitView selected, UnitView findString) {
        asked.emplace_back(selected);
        return model::LowerForm(std::u16string(selected)) == findString;
    };
    EXPECT_TRUE(SelectionIsCurrentMatch(block.Borrow(), query.Pattern(), 2, 4, ignoringCase));
    EXPECT_FALSE(SelectionIsCurrentMatch(block.Borrow(), query.Pattern(), 1, 3, ignoringCase));
    EXPECT_EQ(asked, (std::vector<std::u16string>{u"AB", u"xA"}));

    asked.clear();
    EXPECT_FALSE(SelectionIsCurrentMatch(block.Borrow(), query.Pattern(), 2, 2, ignoringCase));
    EXPECT_FALSE(SelectionIsCurrentMatch(block.Borrow(), query.Pattern(), 2, 5, ignoringCase));
    EXPECT_FALSE(SelectionIsCurrentMatch(block.Borrow(), query.Pattern(), 5, 7, ignoringCase))
        << "a selection past the text's end";
    EXPECT_FALSE(SelectionIsCurrentMatch(block.Borrow(), Exact(u"").Pattern(), 2, 2, ignoringCase));
    EXPECT_TRUE(asked.empty()) << "only a selection of the right length is compared";
}

TEST(ReplaceAll, GivesTheLeftToRightSubstitutionWithTheLengthItImplies) {
    struct Row {
        std::u16string text;
        Query query;
        std::u16string replacement;
        std::u16string expected;
        std::uint32_t count;
    };
    const Row rows[] = {
        {u"aaaa", Exact(u"aa"), u"b", u"bb", 2},
        {u"aaa", Exact(u"aa"), u"b", u"ba", 1},
        {u"a.a.a", Exact(u"a"), u"", u"..", 3},
        {u"a.a.a", Exact(u"a"), u"x", u"x.x.x", 3},
        {u"ab", Exact(u"ab"), u"", u"", 1},
        {u"abxab", Exact(u"ab"), u"123", u"123x123", 2},
        {u"abcabc", Exact(u"bc"), u"XYZ", u"aXYZaXYZ", 2},
        {u"aa", Exact(u"a"), u"aa", u"aaaa", 2},  // the replacement is never searched
        {u"abb", Exact(u"ab"), u"xa", u"xab", 1}, // nor what it forms with the text after
        {u"abab", Exact(u"ab"), u"ba", u"baba", 2},
        {u"xyz", Exact(u"q"), u"long", u"xyz", 0},
        {u"xyz", Exact(u"q"), u"", u"xyz", 0},
        {u"Ab aB ab", Ignoring(u"ab"), u"c", u"c c c", 3},
        {u"Ab aB ab", Exact(u"ab"), u"<ab>", u"Ab aB <ab>", 1},
        {u"line\r\nline\r\n", Exact(u"\r\n"), u" ", u"line line ", 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Show(row.text) + " " + Show(row.query.find) + " -> " + Show(row.replacement));
        const ReplaceOutcome replaced = Replace(row.text, row.query, row.replacement);
        EXPECT_FALSE(replaced.result.outOfMemory);
        EXPECT_EQ(replaced.result.count, row.count);
        EXPECT_EQ(Show(replaced.text), Show(row.expected));
        EXPECT_TRUE(replaced.terminated);
        EXPECT_TRUE(replaced.inBlock);
        const bool longer = row.replacement.size() > row.query.find.size();
        EXPECT_EQ(replaced.resizes, longer && row.count > 0 ? 1 : 0);
        EXPECT_EQ(replaced.chunksAsked > 0, longer && row.count > 0);
        EXPECT_EQ(replaced.chunksHeld, 0);
    }
}

// Enough occurrences to fill several chunks of positions; each chunk in turn is refused,
// then the resize, and each time the text stays as it was and every chunk is given back.
TEST(ReplaceAll, OutOfMemoryLeavesTheTextAsItWas) {
    std::u16string text;
    for (int i = 0; i < 5000; ++i) {
        text += u"a-a";
    }
    const std::u16string expected = model::ReplaceAll(text, Exact(u"a"), u"bb").text;
    const ReplaceOutcome replaced = Replace(text, Exact(u"a"), u"bb");
    ASSERT_TRUE(replaced.text == expected) << "the replaced text differs from the model's";
    ASSERT_GE(replaced.chunksAsked, 2);
    EXPECT_EQ(replaced.chunksHeld, 0);

    for (int fail = 1; fail <= replaced.chunksAsked + 1; ++fail) {
        SCOPED_TRACE(fail <= replaced.chunksAsked ? "chunk " + std::to_string(fail) : "resize");
        ExactBlock block(text);
        block.failChunk = fail;
        block.failResize = fail > replaced.chunksAsked;
        BorrowedText borrowed = block.Borrow();
        const ReplaceAllResult result = ReplaceAll(borrowed, Exact(u"a").Pattern(), u"bb", block);
        EXPECT_TRUE(result.outOfMemory);
        EXPECT_EQ(result.count, 0u);
        EXPECT_TRUE(block.Adopt(borrowed));
        EXPECT_EQ(borrowed.length, text.size());
        EXPECT_TRUE(block.Text() == text) << "the text changed";
        EXPECT_EQ(block.chunksHeld, 0);
        EXPECT_EQ(block.resizes, block.failResize ? 1 : 0);
        EXPECT_EQ(block.lastResize, block.failResize ? expected.size() : 0u);
        EXPECT_EQ(block.chunksAsked, std::min(fail, replaced.chunksAsked))
            << "the scan stops at the refused chunk";
    }
}

TEST(ReplaceAll, RefusesAFinalLengthBeyondTheCallersLargestBlock) {
    // Ten occurrences growing by three units each: the final text is 40 units long.
    const std::u16string text(10, u'a');
    for (const std::uint32_t maxLength : {39u, 40u}) {
        ExactBlock block(text);
        block.maxLength = maxLength;
        BorrowedText borrowed = block.Borrow();
        const ReplaceAllResult result = ReplaceAll(borrowed, Exact(u"a").Pattern(), u"aaaa", block);
        EXPECT_TRUE(block.Adopt(borrowed));
        if (maxLength == 39) {
            EXPECT_TRUE(result.outOfMemory);
            EXPECT_EQ(block.resizes, 0) << "refused before the block is resized";
            EXPECT_EQ(block.chunksHeld, 0);
            EXPECT_EQ(block.Text(), text);
        } else {
            EXPECT_FALSE(result.outOfMemory);
            EXPECT_EQ(result.count, 10u);
            EXPECT_EQ(block.Text(), std::u16string(40, u'a'));
        }
    }
}

// Random cases over small alphabets, checked against the model. A failure names the seed,
// the case and its inputs.
class RandomCases {
  public:
    explicit RandomCases(std::uint32_t seed) : seed_(seed), random_(seed) {}

    void Next() {
        ++index_;
        static const std::u16string alphabets[] = {u"aAb",      u"ab",
                                                   u"aaaaaaab", u"bbbbbbbbbbbbbbba",
                                                   u"aA\r\n",   u"a\uFFFF\u8000b",
                                                   u"eeeez Z",  u"a\u00FF\u0178"};
        const std::u16string& alphabet = alphabets[Below(std::size(alphabets))];
        // Mostly short texts, where the ends matter; some long enough for whole blocks.
        const std::size_t length = Below(5) == 0 ? Below(101) : Below(13);
        text = Draw(alphabet, length);
        // A third of the search strings are made of the text's commonest units, mostly its
        // commonest, half of them short and half up to longer than a block, so that many
        // candidates pass one filter position and some both.
        if (Below(3) == 0 && !text.empty()) {
            const std::u16string commonest = model::CommonestUnits(text, 2);
            const std::u16string weighted = std::u16string(3, commonest[0]) + commonest.substr(1);
            query = Query{Draw(weighted, 1 + Below(Below(2) == 0 ? 6 : 40)), Below(2) == 0};
        } else {
            query = Query{Draw(alphabet, 1 + Below(5)), Below(2) == 0};
        }
    }

    std::size_t Below(std::size_t bound) {
        return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random_);
    }

    std::u16string Draw(const std::u16string& alphabet, std::size_t length) {
        std::u16string drawn;
        for (std::size_t i = 0; i < length; ++i) {
            drawn += alphabet[Below(alphabet.size())];
        }
        return drawn;
    }

    std::string Describe() const {
        return "seed " + std::to_string(seed_) + " case " + std::to_string(index_) + ": text " +
               Show(text) + ", search string " + Show(query.find) +
               (query.matchCase ? ", match case" : ", case ignored");
    }

    std::u16string text;
    Query query;

  private:
    std::uint32_t seed_;
    std::mt19937 random_;
    int index_ = 0;
};

constexpr std::uint32_t kSeeds[] = {1, 2, 3, 4, 5, 6};
constexpr int kCasesPerSeed = 1000;

TEST(RandomisedAgainstModel, SearchesAgreeInBothDirectionsAndCaseModes) {
    for (const std::uint32_t seed : kSeeds) {
        RandomCases cases(seed);
        for (int i = 0; i < kCasesPerSeed && !HasFailure(); ++i) {
            cases.Next();
            SCOPED_TRACE(cases.Describe());
            const std::u16string& text = cases.text;
            const auto length = static_cast<std::uint32_t>(text.size());
            const std::uint32_t step =
                length <= 24 ? 1 : 1 + static_cast<std::uint32_t>(cases.Below(7));
            for (std::uint32_t start = 0; start <= length + 2; start += step) {
                EXPECT_EQ(EngineForward(text, cases.query, start),
                          model::Forward(text, cases.query, start))
                    << "forward from " << start;
                EXPECT_EQ(EngineBackward(text, cases.query, start),
                          model::Backward(text, cases.query, start))
                    << "backward from " << start;
            }
            const auto a = static_cast<std::uint32_t>(cases.Below(length + 1));
            const auto b = a + static_cast<std::uint32_t>(cases.Below(length - a + 1));
            for (const bool down : {true, false}) {
                const std::uint32_t start = model::Start(a, b, cases.query.find.size(), down);
                ExactBlock block(text);
                EXPECT_EQ(FindNext(block.Borrow(), cases.query.Pattern(), a, b, down),
                          down ? model::Forward(text, cases.query, start)
                               : model::Backward(text, cases.query, start))
                    << "selection [" << a << ", " << b << ")" << (down ? " down" : " up");
                EXPECT_EQ(Walk(text, cases.query, a, down), ModelWalk(text, cases.query, a, down))
                    << "walk from " << a << (down ? " down" : " up");
            }
        }
    }
}

TEST(RandomisedAgainstModel, ReplaceAllAgreesForAllThreeMethods) {
    for (const std::uint32_t seed : kSeeds) {
        RandomCases cases(seed);
        for (int i = 0; i < kCasesPerSeed && !HasFailure(); ++i) {
            cases.Next();
            const std::size_t n = cases.query.find.size();
            const std::u16string replacements[] = {
                cases.Draw(u"abX", n),
                cases.Draw(u"abX", cases.Below(n)),
                cases.Draw(u"abX", n + 1 + cases.Below(3)),
            };
            for (const std::u16string& replacement : replacements) {
                SCOPED_TRACE(cases.Describe() + ", replacement " + Show(replacement));
                const model::Replaced expected =
                    model::ReplaceAll(cases.text, cases.query, replacement);
                const ReplaceOutcome replaced = Replace(cases.text, cases.query, replacement);
                EXPECT_FALSE(replaced.result.outOfMemory);
                EXPECT_EQ(replaced.result.count, expected.count);
                EXPECT_EQ(Show(replaced.text), Show(expected.text));
                EXPECT_EQ(replaced.text.size(), cases.text.size() +
                                                    expected.count * replacement.size() -
                                                    expected.count * n);
                EXPECT_TRUE(replaced.terminated);
                EXPECT_TRUE(replaced.inBlock);
                EXPECT_EQ(replaced.chunksHeld, 0);
            }
        }
    }
}

} // namespace
