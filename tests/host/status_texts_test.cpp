#include "language/format_template.h"
#include "language/percent_template.h"
#include "view/digit_groups.h"
#include "view/status_rules.h"
#include "test_text.h"

#include <gtest/gtest.h>

#include <array>

namespace {

TEST(GroupDigits, SplitsIntoGroupsOfThreeFromTheRight) {
    const std::pair<UnitView, const char*> cases[] = {
        {u"", ""}, {u"999", "999"}, {u"1000", "1 000"}, {u"4294967295", "4 294 967 295"}};
    std::array<Unit, kGroupedNumberCapacity> buffer{};
    for (const auto& [source, grouped] : cases) {
        GroupDigits(source, buffer);
        EXPECT_EQ(Narrow(buffer), grouped) << Narrow(source);
    }
    std::array<Unit, 4> tight{};
    EXPECT_EQ(GroupDigits(u"12345", tight), 3u) << "cut to the buffer, terminated";
    EXPECT_EQ(Narrow(tight), "12 ");
    FormatGroupedNumber(0, buffer);
    EXPECT_EQ(Narrow(buffer), "0");
}

TEST(ReportedEnd, FollowsTheEndThatMoved) {
    using enum ReportedEnd;
    constexpr std::uint32_t kNone = 0xFFFFFFFF;
    const struct {
        SelectionSpan shown, now;
        bool endOnce;
        ReportedEnd previous, reported;
        bool redraw;
    } cases[] = {{{5, 5}, {6, 6}, false, Start, End, true},  // a caret moved
                 {{5, 5}, {5, 5}, false, Start, End, false}, // nothing moved
                 {{5, 5}, {5, 8}, false, End, End, true},    // Shift+Right from a caret
                 {{5, 5}, {3, 5}, false, End, Start, true},  // Shift+Left from a caret
                 {{2, 5}, {3, 9}, false, Start, End, true},  // both moved up: the end leads
                 {{4, 9}, {1, 6}, false, End, Start, true},  // both moved down: the start leads
                 {{kNone, kNone}, {0, 40}, false, End, Start, true},
                 {{kNone, kNone}, {0, 40}, true, Start, End, true}, // Select All asks for the end
                 {{3, 5}, {3, 5}, false, Start, Start, false},      // unchanged keeps its end
                 {{3, 5}, {3, 5}, true, Start, End, true}};
    for (const auto& c : cases) {
        const ReportChoice choice = ChooseReportedEnd(c.shown, c.now, c.endOnce, c.previous);
        EXPECT_EQ(std::pair(choice.reported, choice.redraw), std::pair(c.reported, c.redraw))
            << c.shown.start << "-" << c.shown.end << " to " << c.now.start << "-" << c.now.end;
    }
}

// A plain unit and a whole pair: the e2e status bar walk's first two steps.
TEST(CharacterCode, JoinsASurrogateWithTheUnitAfterIt) {
    EXPECT_EQ(CharacterCode(0xDE00, u'x'), 0x0078DE00u) << "the second half of a pair";
    EXPECT_EQ(CharacterCode(0xD83D, 0), 0xD83Du) << "a lone high surrogate at the end";
}

template <std::size_t N>
std::string Fill(UnitView pattern, UnitView value, PercentFill fill = PercentFill::First) {
    std::array<Unit, N> buffer{};
    buffer.fill(u'#');
    const std::size_t written = FillPercentTemplate(pattern, value, buffer, fill);
    EXPECT_EQ(buffer[written], u'\0');
    return Narrow(buffer);
}

TEST(PercentTemplate, PutsTheValueInPlaceOfTheFirstPercentOrOfEveryOneWithinItsBuffer) {
    EXPECT_EQ(Fill<64>(u"% and %", u"x"), "x and ") << "later marks are left out";
    EXPECT_EQ(Fill<64>(u"no mark", u"x"), "no mark");
    EXPECT_EQ(Fill<64>(u"% was not found (%)", u"C:\\a.txt", PercentFill::Every),
              "C:\\a.txt was not found (C:\\a.txt)");
    // A long result is cut to its buffer, terminated; a buffer of one unit or none takes nothing.
    EXPECT_EQ(Fill<512>(u"File % or %", std::u16string(600, u'p'), PercentFill::Every),
              "File " + std::string(506, 'p'));
    EXPECT_EQ(Fill<1>(u"%", u"xyz"), "");
    EXPECT_EQ(FillPercentTemplate(u"%", u"xyz", UnitBuffer()), 0u);
}

using enum Conversion;

TEST(FormatTemplate, AcceptsTheArgumentsThePositionAndCharacterTextsPass) {
    for (UnitView position : {u" Ln %s, Col %s, Sel %s", u"%-10s|%5.3ls|%s 100%%", u"%s%s%s"}) {
        EXPECT_TRUE(TemplateTakes(position, {Text, Text, Text})) << Narrow(position);
    }
    for (UnitView character : {u" Char: %u (0x%.4X)", u"%d %lx", u"%%%hu%#08X"}) {
        EXPECT_TRUE(TemplateTakes(character, {Integer, Integer})) << Narrow(character);
    }
}

TEST(FormatTemplate, RefusesTemplatesThatWouldReadOtherArguments) {
    const UnitView position[] = {
        u"%s %s",      u"%s %s %s %s", // one too few, one too many
        u"%s %d %s",                   // an integer where a text is passed
        u"%s %s %hs",  u"%s %s %S",    // a narrow string
        u"%s %s %*s",                  // a width argument
        u"%s %s %s %", u"%s %s %s %n", // a mark at the end, another type
    };
    for (UnitView pattern : position) {
        EXPECT_FALSE(TemplateTakes(pattern, {Text, Text, Text})) << Narrow(pattern);
    }
    for (UnitView pattern : {u"%u", u"%u %s", u"%I64u %u", u"%u %u %u", u"%c %u", u"%u %p"}) {
        EXPECT_FALSE(TemplateTakes(pattern, {Integer, Integer})) << Narrow(pattern);
    }
}

} // namespace
