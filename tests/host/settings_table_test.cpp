#include "app/settings_table.h"

#include "test_text.h"

#include <gtest/gtest.h>

#include <array>
#include <set>

namespace {

std::string Format(std::uint32_t value) {
    std::array<Unit, kUnsignedDecimalCapacity> buffer{};
    buffer.fill(u'#');
    const std::size_t digits = FormatUnsignedDecimal(value, buffer);
    EXPECT_EQ(buffer[digits], u'\0');
    return Narrow(buffer);
}

TEST(SettingsTable, HoldsThirtyDistinctKeysInTheStoredOrder) {
    std::set<std::u16string> keys;
    for (const auto& setting : kIntegerSettings) {
        keys.emplace(setting.key);
    }
    EXPECT_EQ(keys.size(), kIntegerSettingCount);
    EXPECT_EQ(Narrow(kIntegerSettings[IndexOf(IntKey::Wrap)].key), "Wrap");
    EXPECT_EQ(Narrow(kIntegerSettings[IndexOf(IntKey::Language)].key), "Language");
    EXPECT_EQ(Narrow(kIntegerSettings[IndexOf(IntKey::FullScr)].key), "FullScr");
}

TEST(SettingsTable, WritesTheFontAndExitKeysAsRunsOfTheTable) {
    EXPECT_EQ(Narrow(kIntegerSettings[IndexOf(kFontKeysFirst)].key), "FontHeight");
    EXPECT_EQ(Narrow(kIntegerSettings[IndexOf(kFontKeysFirst) + kFontKeyCount - 1].key), "Family");
    EXPECT_EQ(Narrow(kIntegerSettings[IndexOf(kExitKeysFirst)].key), "x");
    EXPECT_EQ(IndexOf(kExitKeysFirst) + kExitKeyCount, kIntegerSettingCount);
    EXPECT_EQ(Narrow(kIntegerSettings[IndexOf(IntKey::MruCount)].key), "MruCount");
}

TEST(SettingsTable, NamesTheRecentFileKeys) {
    EXPECT_EQ(Narrow(UnitView(RecentKey(0).data())), "MRU0");
    EXPECT_EQ(Narrow(UnitView(RecentKey(9).data())), "MRU9");
}

TEST(UnsignedDecimal, WritesTheUnsignedFormWithoutSignOrLeadingZeros) {
    EXPECT_EQ(Format(0), "0");
    EXPECT_EQ(Format(7), "7");
    EXPECT_EQ(Format(10), "10");
    EXPECT_EQ(Format(16777215), "16777215");
    EXPECT_EQ(Format(static_cast<std::uint32_t>(-13)), "4294967283");
    EXPECT_EQ(Format(4294967295u), "4294967295");
}

TEST(ProfileInteger, ReadsBackWhatFormattingWrote) {
    for (const std::int32_t value : {0, 1, -1, -13, 400, 10002, 2147483647, -2147483647 - 1}) {
        std::array<Unit, kUnsignedDecimalCapacity> buffer{};
        FormatUnsignedDecimal(static_cast<std::uint32_t>(value), buffer);
        EXPECT_EQ(ParseProfileInteger(UnitView(buffer.data())), value) << value;
    }
}

TEST(ProfileInteger, KeepsTheLowThirtyTwoBitsOfASignedDecimal) {
    EXPECT_EQ(ParseProfileInteger(u"4294967283"), -13);
    EXPECT_EQ(ParseProfileInteger(u"-13"), -13);
    EXPECT_EQ(ParseProfileInteger(u"+25"), 25);
    EXPECT_EQ(ParseProfileInteger(u"4294967296"), 0);
    EXPECT_EQ(ParseProfileInteger(u"4294967297"), 1);
    EXPECT_EQ(ParseProfileInteger(u"99999999999999999999"), static_cast<std::int32_t>(1661992959u));
    EXPECT_EQ(ParseProfileInteger(u"-4294967283"), 13);
}

TEST(ProfileInteger, ReadsMinusOneAndItsUnsignedFormAsAbsent) {
    EXPECT_EQ(ParseProfileInteger(u""), kProfileIntAbsent);
    EXPECT_EQ(ParseProfileInteger(u"  "), kProfileIntAbsent);
    EXPECT_EQ(ParseProfileInteger(u"-1"), kProfileIntAbsent);
    EXPECT_EQ(ParseProfileInteger(u"4294967295"), kProfileIntAbsent);
}

TEST(ProfileInteger, StopsAtTheFirstOtherCharacter) {
    EXPECT_EQ(ParseProfileInteger(u"12abc"), 12);
    EXPECT_EQ(ParseProfileInteger(u"abc"), 0);
    EXPECT_EQ(ParseProfileInteger(u"0x1F"), 0);
    EXPECT_EQ(ParseProfileInteger(u"-"), 0);
    EXPECT_EQ(ParseProfileInteger(u" 42 "), 42);
}

struct Geometry {
    std::int32_t x, y, width, height;
};

Geometry Checked(Geometry g, std::int32_t screenWidth = 1920, std::int32_t screenHeight = 1080) {
    IntegerSettings s = DefaultIntegerSettings();
    s[IndexOf(IntKey::x)] = g.x;
    s[IndexOf(IntKey::y)] = g.y;
    s[IndexOf(IntKey::Width)] = g.width;
    s[IndexOf(IntKey::Height)] = g.height;
    CheckRanges(s, screenWidth, screenHeight);
    return {s[IndexOf(IntKey::x)], s[IndexOf(IntKey::y)], s[IndexOf(IntKey::Width)],
            s[IndexOf(IntKey::Height)]};
}

TEST(RangeChecks, KeepAGeometryThatFitsTheScreen) {
    const Geometry g = Checked({120, 100, 870, 534});
    EXPECT_EQ(g.x, 120);
    EXPECT_EQ(g.y, 100);
    EXPECT_EQ(g.width, 870);
    EXPECT_EQ(g.height, 534);
    EXPECT_EQ(Checked({0, 0, 1920, 0}).height, 0) << "a zero height is accepted";
    EXPECT_EQ(Checked({1920, 1080, 0, 0}).x, 1920) << "the screen's own edge is accepted";
}

TEST(RangeChecks, MoveAPositionOffTheScreenBackToItsDefault) {
    EXPECT_EQ(Checked({-5, 100, 100, 100}).x, 120);
    EXPECT_EQ(Checked({1921, 100, 100, 100}).x, 120);
    EXPECT_EQ(Checked({100, -1, 100, 100}).y, 100);
    EXPECT_EQ(Checked({100, 1081, 100, 100}).y, 100);
}

TEST(RangeChecks, GiveATooLargeOrNegativeSizeTheSmallerFallback) {
    EXPECT_EQ(Checked({100, 100, 5000, 400}).width, 770);
    EXPECT_EQ(Checked({100, 100, 1820, 400}).width, 1820);
    EXPECT_EQ(Checked({100, 100, 1821, 400}).width, 770);
    EXPECT_EQ(Checked({100, 100, -1, 400}).width, 770);
    EXPECT_EQ(Checked({100, 100, 400, 981}).height, 473);
    EXPECT_EQ(Checked({100, 100, 400, -7}).height, 473);
    // The width is measured from the corrected position.
    EXPECT_EQ(Checked({-5, 100, 1800, 400}).width, 1800);
    EXPECT_EQ(Checked({-5, 100, 1801, 400}).width, 770);
}

TEST(RangeChecks, SurviveExtremeValuesWithoutOverflow) {
    const Geometry g = Checked({2147483647, -2147483647 - 1, 2147483647, -2147483647 - 1});
    EXPECT_EQ(g.x, 120);
    EXPECT_EQ(g.y, 100);
    EXPECT_EQ(g.width, 770);
    EXPECT_EQ(g.height, 473);
}

std::int32_t CheckedValue(IntKey key, std::int32_t value) {
    IntegerSettings s = DefaultIntegerSettings();
    s[IndexOf(key)] = value;
    CheckRanges(s, 1920, 1080);
    return s[IndexOf(key)];
}

TEST(RangeChecks, LimitTheRecentFilesCountAsUnsigned) {
    EXPECT_EQ(CheckedValue(IntKey::MruCount, 0), 0);
    EXPECT_EQ(CheckedValue(IntKey::MruCount, 10), 10);
    EXPECT_EQ(CheckedValue(IntKey::MruCount, 25), 10);
    EXPECT_EQ(CheckedValue(IntKey::MruCount, -2), 10);
}

TEST(RangeChecks, SendAnUnknownLanguageToEnglish) {
    EXPECT_EQ(CheckedValue(IntKey::Language, 10000), 10000);
    EXPECT_EQ(CheckedValue(IntKey::Language, 10002), 10002);
    EXPECT_EQ(CheckedValue(IntKey::Language, 10003), 10001);
    EXPECT_EQ(CheckedValue(IntKey::Language, 9999), 10001);
    EXPECT_EQ(CheckedValue(IntKey::Language, -10000), 10001);
}

TEST(ProfileValue, TurnsLineBreaksIntoBlanks) {
    std::array<Unit, 32> buffer{};
    MakeProfileValue(u"a\r\n[Tarnwick]\nLanguage=1\r", buffer);
    EXPECT_EQ(Narrow(UnitView(buffer.data())), "a  [Tarnwick] Language=1 ");
}

TEST(ProfileValue, CutsToTheDestination) {
    std::array<Unit, 4> buffer{};
    EXPECT_EQ(MakeProfileValue(u"abcdef", buffer), 3u);
    EXPECT_EQ(Narrow(UnitView(buffer.data())), "abc");
}

} // namespace
