#include "view/digit_groups.h"
#include "view/status_rules.h"

#include "test_text.h"

#include <gtest/gtest.h>

namespace {

TEST(GroupDigits, SplitsIntoGroupsOfThreeFromTheRight) {
    const struct {
        UnitView source;
        const char* grouped;
    } cases[] = {{u"", ""}, {u"999", "999"}, {u"1000", "1 000"}, {u"4294967295", "4 294 967 295"}};
    for (const auto& c : cases) {
        std::array<Unit, kGroupedNumberCapacity> buffer{};
        GroupDigits(c.source, buffer);
        EXPECT_EQ(Narrow(buffer), c.grouped) << Narrow(c.source);
    }
    std::array<Unit, 4> tight{};
    EXPECT_EQ(GroupDigits(u"12345", tight), 3u) << "cut to the buffer, terminated";
    EXPECT_EQ(Narrow(tight), "12 ");
    // From a number.
    std::array<Unit, kGroupedNumberCapacity> buffer{};
    FormatGroupedNumber(0xFFFFFFFFu, buffer);
    EXPECT_EQ(Narrow(buffer), "4 294 967 295");
    FormatGroupedNumber(0, buffer);
    EXPECT_EQ(Narrow(buffer), "0");
}

constexpr std::uint32_t kNone = 0xFFFFFFFF;

TEST(ReportedEnd, FollowsTheEndThatMoved) {
    using enum ReportedEnd;
    const struct {
        SelectionSpan shown, now;
        bool endOnce;
        ReportedEnd previous;
        ReportedEnd reported;
        bool redraw;
    } cases[] = {
        {{5, 5}, {6, 6}, false, Start, End, true},  // a caret moved
        {{5, 5}, {5, 5}, false, Start, End, false}, // nothing moved
        {{5, 5}, {5, 8}, false, End, End, true},    // Shift+Right from a caret
        {{5, 5}, {3, 5}, false, End, Start, true},  // Shift+Left from a caret
        {{2, 5}, {3, 9}, false, Start, End, true},  // both moved up: the end leads
        {{4, 9}, {1, 6}, false, End, Start, true},  // both moved down: the start leads
        {{kNone, kNone}, {0, 40}, false, End, Start, true},
        {{kNone, kNone}, {0, 40}, true, Start, End, true}, // Select All asks for the end
        {{3, 5}, {3, 5}, false, Start, Start, false},      // unchanged keeps its end
        {{3, 5}, {3, 5}, true, Start, End, true},
    };
    for (const auto& c : cases) {
        const ReportChoice choice = ChooseReportedEnd(c.shown, c.now, c.endOnce, c.previous);
        EXPECT_EQ(std::pair(choice.reported, choice.redraw), std::pair(c.reported, c.redraw))
            << c.shown.start << "-" << c.shown.end << " to " << c.now.start << "-" << c.now.end;
    }
}

TEST(CharacterCode, JoinsASurrogateWithTheUnitAfterIt) {
    EXPECT_EQ(CharacterCode(u'A', u'B'), 65u);
    EXPECT_EQ(CharacterCode(0xD83D, 0xDE00), 0xDE00D83Du) << "U+1F600, first unit low";
    EXPECT_EQ(CharacterCode(0xDE00, u'x'), 0x0078DE00u) << "the second half of a pair";
    EXPECT_EQ(CharacterCode(0xD83D, 0), 0xD83Du) << "a lone high surrogate at the end";
}

} // namespace
