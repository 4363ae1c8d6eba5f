#include "app/cascade.h"
#include "app/dpi_scaling.h"
#include "app/settings_table.h"
#include "test_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <set>
#include <tuple>
#include <utility>

namespace {

TEST(SettingsTable, HoldsDistinctKeys) {
    std::set<UnitView> keys;
    for (const auto& setting : kIntegerSettings) {
        EXPECT_TRUE(keys.insert(setting.key).second) << Narrow(setting.key);
    }
}

// Written as its 32 bits unsigned; read as the low 32 bits of a decimal up to another character.
TEST(ProfileInteger, IsWrittenUnsignedAndReadAsTheLowThirtyTwoBitsOfADecimal) {
    const struct {
        UnitView text;
        std::int32_t value;
        bool written = false; // the text is what the value is written as
    } cases[] = {{u"0", 0, true},
                 {u"2147483647", 2147483647, true},
                 {u"2147483648", -2147483647 - 1, true},
                 {u"4294967283", -13, true},               // a font height as the file holds it
                 {u"4294967295", kProfileIntAbsent, true}, // read as absent, as minus one is
                 {u"-1", kProfileIntAbsent},
                 {u"", kProfileIntAbsent},
                 {u"  ", kProfileIntAbsent},
                 {u"+25", 25},
                 {u"99999999999999999999", static_cast<std::int32_t>(1661992959u)},
                 {u"-4294967283", 13},
                 {u"12abc", 12},
                 {u"-", 0},
                 {u" 42 ", 42}};
    for (const auto& c : cases) {
        EXPECT_EQ(ParseProfileInteger(c.text), c.value) << Narrow(c.text);
        if (c.written) {
            std::array<Unit, kUnsignedDecimalCapacity> buffer{};
            buffer.fill(u'#');
            const auto digits = FormatUnsignedDecimal(static_cast<std::uint32_t>(c.value), buffer);
            EXPECT_EQ(std::pair(digits, Narrow(buffer)), std::pair(c.text.size(), Narrow(c.text)));
        }
    }
}

using Geometry = std::array<std::int32_t, 4>; // x, y, width, height

Geometry Of(const Placement& p) {
    return {p.x, p.y, p.width, p.height};
}

// The geometry among the other settings: x, y, Width and Height follow one another.
Geometry Checked(Geometry g) {
    IntegerSettings s = DefaultIntegerSettings();
    const auto x = s.begin() + IndexOf(IntKey::x);
    std::ranges::copy(g, x);
    CheckRanges(s, 1920, 1080);
    std::copy_n(x, g.size(), g.begin());
    return g;
}

TEST(RangeChecks, SendAGeometryOffTheScreenBackToTheDefaultsAndTheSmallerFallbackSize) {
    // On a screen of 1920 by 1080.
    const std::pair<Geometry, Geometry> cases[] = {
        {{0, 0, 1920, 0}, {0, 0, 1920, 0}},       // a zero height
        {{1920, 1080, 0, 0}, {1920, 1080, 0, 0}}, // the screen's own edge
        {{1921, 100, 100, 100}, {120, 100, 100, 100}},
        {{100, -1, 100, 100}, {100, 100, 100, 100}},
        {{100, 1081, 100, 100}, {100, 100, 100, 100}},
        {{100, 100, -1, 400}, {100, 100, 770, 400}},
        {{100, 100, 400, 981}, {100, 100, 400, 473}},
        // the width is measured from the corrected position
        {{-5, 100, 1800, 400}, {120, 100, 1800, 400}},
        {{-5, 100, 1801, 400}, {120, 100, 770, 400}},
        {{INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN}, {120, 100, 770, 473}},
    };
    for (const auto& [stored, checked] : cases) {
        EXPECT_EQ(Checked(stored), checked);
    }
}

TEST(RangeChecks, LimitTheRecentFilesCountAsUnsignedAndSendAnUnknownLanguageToEnglish) {
    const std::tuple<IntKey, std::int32_t, std::int32_t> cases[] = {
        {IntKey::MruCount, 0, 0},         {IntKey::MruCount, 10, 10},
        {IntKey::MruCount, 25, 10},       {IntKey::MruCount, -2, 10},
        {IntKey::Language, 10000, 10000}, {IntKey::Language, 10002, 10002},
        {IntKey::Language, 10003, 10001}, {IntKey::Language, 9999, 10001}};
    for (const auto& [key, stored, checked] : cases) {
        IntegerSettings s = DefaultIntegerSettings();
        s[IndexOf(key)] = stored;
        CheckRanges(s, 1920, 1080);
        EXPECT_EQ(s[IndexOf(key)], checked) << stored;
    }
}

// Line breaks becoming blanks: the reliability table's garbage-settings row.
TEST(ProfileValue, IsCutToTheDestination) {
    std::array<Unit, 4> small{};
    EXPECT_EQ(MakeProfileValue(u"abcdef", small), 3u);
    EXPECT_EQ(Narrow(UnitView(small.data())), "abc");
}

TEST(Cascade, OpensThirtyPixelsUpAndLeftOrNearTheEdgeRightOrDownStayingOnTheScreen) {
    EXPECT_EQ(Of(Cascade({120, 100, 870, 534}, 1920, 1080)), (Geometry{90, 70, 870, 534}));
    EXPECT_EQ(Of(Cascade({30, 30, 100, 100}, 1024, 768)), (Geometry{0, 0, 100, 100}));
    EXPECT_EQ(Of(Cascade({10, 50, 1000, 500}, 1024, 768)), (Geometry{40, 20, 984, 500}));
    EXPECT_EQ(Of(Cascade({0, 5, 500, 760}, 1024, 768)), (Geometry{30, 35, 500, 733}));
}

// What a start stores: the window created with this rectangle takes the window DPI at WM_CREATE,
// and its first WM_MOVE and WM_SIZE record what they see at 96 DPI. A system that cannot tell a
// monitor's DPI (0) gives every window its own.
TEST(CreationPlacement, StoresTheSameGeometryAtEveryStartWhateverTheSystemAndMonitorDpi) {
    constexpr Placement stored{120, 100, 770, 534};
    const std::tuple<std::int32_t, std::int32_t, std::int32_t> starts[] = {
        {96, 120, 120}, {120, 96, 96}, {144, 96, 96}, {120, 0, 120}}; // system, monitor, window
    for (const auto& [system, monitor, window] : starts) {
        SCOPED_TRACE(testing::Message() << "system " << system << ", monitor " << monitor);
        const Placement created = CreationPlacement(stored, system, monitor);
        EXPECT_EQ(Of(ScalePlacement(created, window, kStoredDpi)), Of(stored));
    }
}

} // namespace
