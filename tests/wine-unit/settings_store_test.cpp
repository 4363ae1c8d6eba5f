// The settings store against the real profile functions.
#include "app/settings.h"
#include "app/shared_placement.h"
#include "app/startup.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

namespace {

class SettingsStore : public testing::Test {
  protected:
    void SetUp() override {
        lstrcpynW(IniPath, (folder / L"Tarnwick.ini").c_str(), MAX_PATH);
        SettingValues = DefaultIntegerSettings();
        ScreenWidth = 1920;
        ScreenHeight = 1080;
    }
    void TearDown() override {
        IniPath[0] = L'\0';
        SharedPlacement = nullptr;
    }

    std::wstring Ini() const { return IniPath; }
    std::optional<std::wstring> Stored(const std::wstring& key) const {
        return IniValue(Ini(), L"Tarnwick", key);
    }

    TempFolder folder;
};

TEST_F(SettingsStore, WritesNegativeValuesUnsignedAndReadsThemBack) {
    SetSetting(IntKey::FontHeight, -13);
    SetSetting(IntKey::Weight, 700);
    WriteIntegerKeys(kFontKeysFirst, kFontKeyCount);
    EXPECT_EQ(Stored(L"FontHeight"), L"4294967283");
    EXPECT_EQ(Stored(L"Weight"), L"700");
    EXPECT_EQ(Stored(L"Family"), L"49");
    EXPECT_FALSE(Stored(L"BkgColor")) << "the font run ends with Family";

    SettingValues = DefaultIntegerSettings();
    SetSetting(IntKey::FontHeight, 0);
    SettingsLoad();
    EXPECT_EQ(Setting(IntKey::FontHeight), -13);
    EXPECT_EQ(Setting(IntKey::Weight), 700);
}

TEST_F(SettingsStore, WritesOneKeyAtOnce) {
    WriteSetting(IntKey::BkgColor, 0x0000FF);
    EXPECT_EQ(Setting(IntKey::BkgColor), 255);
    EXPECT_EQ(Stored(L"BkgColor"), L"255");
    EXPECT_FALSE(Stored(L"TxtColor"));
}

TEST_F(SettingsStore, StartsWithTheDefaultsWhenThereIsNoFile) {
    SetSetting(IntKey::Wrap, 1);
    SettingsLoad();
    EXPECT_EQ(SettingValues, DefaultIntegerSettings());
    EXPECT_STREQ(FontName, L"Lucida Console");
    EXPECT_STREQ(FindString, L" ");
    EXPECT_FALSE(FileExists(Ini())) << "reading must not create the file";
}

TEST_F(SettingsStore, ReadsTheFileWithItsRangeChecksAndRecentFiles) {
    WriteBytes(Ini(), "[Tarnwick]\r\nx=100\r\nWidth=5000\r\nFontHeight=-1\r\nMruCount=25\r\n"
                      "Language=10003\r\nHeight=0\r\nMRU0=C:\\a.txt\r\nMRU9=C:\\j.txt\r\n");
    SettingsLoad();
    EXPECT_EQ(Setting(IntKey::x), 100);
    EXPECT_EQ(Setting(IntKey::Width), 770);
    EXPECT_EQ(Setting(IntKey::Height), 0);
    EXPECT_EQ(Setting(IntKey::FontHeight), -13) << "-1 leaves the default";
    EXPECT_EQ(Setting(IntKey::MruCount), 10);
    EXPECT_EQ(Setting(IntKey::Language), 10001);
    EXPECT_STREQ(RecentPaths[0], L"C:\\a.txt");
    EXPECT_STREQ(RecentPaths[1], L" ");
    EXPECT_STREQ(RecentPaths[9], L"C:\\j.txt");
}

TEST_F(SettingsStore, CreatesANewFileAsUnicodeSoTextOutsideTheCodePageSurvives) {
    const std::wstring czech = L"\u017Elu\u0165ou\u010Dk\u00FD k\u016F\u0148 \u4E2D";
    WriteStringSetting(L"FindString", czech.c_str());
    const std::string bytes = ReadBytes(Ini());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(Stored(L"FindString"), czech);

    SettingsLoad();
    EXPECT_EQ(std::wstring(FindString), czech);
}

TEST_F(SettingsStore, LeavesAnExistingAnsiFileAnsi) {
    WriteBytes(Ini(), "[Tarnwick]\r\nWrap=1\r\n");
    WriteSetting(IntKey::Status, 0);
    const std::string bytes = ReadBytes(Ini());
    EXPECT_NE(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_NE(bytes.find("Status=0"), std::string::npos) << bytes;
    SettingsLoad();
    EXPECT_EQ(Setting(IntKey::Wrap), 1);
    EXPECT_EQ(Setting(IntKey::Status), 0);
}

TEST_F(SettingsStore, NeverLetsAValueStartALineOfItsOwn) {
    lstrcpynW(FindString, L"x\r\nLanguage=10000\r\n[Other]\r\nWrap=1", 130);
    lstrcpynW(ReplaceString, L"y\nStatus=0", 130);
    SettingsSaveAtExit();
    EXPECT_FALSE(Stored(L"Language"));
    EXPECT_FALSE(IniValue(Ini(), L"Other", L"Wrap"));
    EXPECT_EQ(Stored(L"FindString"), L"x  Language=10000  [Other]  Wrap=1");

    SettingsLoad();
    EXPECT_EQ(Setting(IntKey::Language), 10001);
    EXPECT_EQ(Setting(IntKey::Status), 1);
    EXPECT_STREQ(ReplaceString, L"y Status=0");
}

TEST_F(SettingsStore, CutsLongTextsToTheirCapacity) {
    const std::wstring longText(400, L'q');
    WritePrivateProfileStringW(L"Tarnwick", L"Name", longText.c_str(), IniPath);
    WritePrivateProfileStringW(L"Tarnwick", L"FindString", longText.c_str(), IniPath);
    WritePrivateProfileStringW(L"Tarnwick", L"MruCount", L"1", IniPath);
    WritePrivateProfileStringW(L"Tarnwick", L"MRU0", longText.c_str(), IniPath);
    SettingsLoad();
    EXPECT_EQ(std::wstring(FontName), std::wstring(31, L'q'));
    EXPECT_EQ(std::wstring(FindString), std::wstring(129, L'q'));
    EXPECT_EQ(std::wstring(RecentPaths[0]), std::wstring(259, L'q'));
}

TEST_F(SettingsStore, SavesTheSharedPlacementAndTheWindowStateAtExit) {
    PlacementBlock block{10, 20, 300, 200};
    SharedPlacement = &block;
    SetSetting(IntKey::Maximized, 1);
    SetSetting(IntKey::MruCount, 3);
    lstrcpynW(FindString, L"needle", 130);
    SettingsSaveAtExit();
    EXPECT_EQ(Stored(L"x"), L"10");
    EXPECT_EQ(Stored(L"y"), L"20");
    EXPECT_EQ(Stored(L"Width"), L"300");
    EXPECT_EQ(Stored(L"Height"), L"200");
    EXPECT_EQ(Stored(L"MruCount"), L"3");
    EXPECT_EQ(Stored(L"Maximized"), L"1");
    EXPECT_EQ(Stored(L"FullScr"), L"0");
    EXPECT_EQ(Stored(L"FindString"), L"needle");
    EXPECT_FALSE(Stored(L"Wrap")) << "only the exit keys are written at exit";
}

TEST_F(SettingsStore, WritesNothingWithoutASettingsPath) {
    // With no path the profile functions would fall back to win.ini in the Windows folder.
    IniPath[0] = L'\0';
    WriteSetting(IntKey::Wrap, 1);
    WriteStringSetting(L"FindString", L"x");
    wchar_t value[16];
    GetProfileStringW(L"Tarnwick", L"Wrap", L"absent", value, 16);
    EXPECT_STREQ(value, L"absent");
    SettingsLoad();
    EXPECT_EQ(Setting(IntKey::Wrap), 0);
}

} // namespace
