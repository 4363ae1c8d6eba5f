// The settings store against the real profile functions.
#include "app/settings.h"
#include "app/shared_placement.h"
#include "app/startup.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

class SettingsStore : public testing::Test {
  protected:
    void SetUp() override {
        lstrcpynW(IniPath, (folder / L"Tarnwick.ini").c_str(), MAX_PATH);
        SettingValues = DefaultIntegerSettings();
        ScreenWidth = 1920;
        ScreenHeight = 1080;
    }
    void TearDown() override { IniPath[0] = L'\0'; }

    std::wstring Ini() const { return IniPath; }
    std::optional<std::wstring> Stored(const std::wstring& key) const {
        return IniValue(Ini(), L"Tarnwick", key);
    }

    TempFolder folder;
};

TEST_F(SettingsStore, CreatesANewFileAsUnicodeButLeavesAnAnsiFileAnsiAndReadsBothBack) {
    // A new file as UTF-16 keeps text outside the code page; a negative value is written in
    // its unsigned form, which the profile functions read back as negative.
    const std::wstring czech = L"\u017Elu\u0165ou\u010Dk\u00FD k\u016F\u0148 \u4E2D";
    WriteStringSetting(L"FindString", czech.c_str());
    SetSetting(IntKey::FontHeight, -13);
    SetSetting(IntKey::Weight, 700);
    WriteIntegerKeys(kFontKeysFirst, kFontKeyCount);
    EXPECT_EQ(ReadBytes(Ini()).substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(Stored(L"FindString"), czech);
    EXPECT_EQ(Stored(L"FontHeight"), L"4294967283");
    EXPECT_EQ(Stored(L"Weight"), L"700");
    SetSetting(IntKey::FontHeight, 0);
    SetSetting(IntKey::Weight, 0);
    SettingsLoad();
    EXPECT_EQ(std::wstring(FindString), czech);
    EXPECT_EQ(Setting(IntKey::FontHeight), -13);
    EXPECT_EQ(Setting(IntKey::Weight), 700);

    // Another file, which the profile functions have not cached.
    lstrcpynW(IniPath, (folder / L"ansi.ini").c_str(), MAX_PATH);
    WriteBytes(Ini(), "[Tarnwick]\r\nWrap=1\r\n");
    WriteSetting(IntKey::Status, 0);
    const std::string bytes = ReadBytes(Ini());
    EXPECT_NE(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_NE(bytes.find("Status=0"), std::string::npos) << bytes;
    SettingsLoad();
    EXPECT_EQ(Setting(IntKey::Wrap), 1);
    EXPECT_EQ(Setting(IntKey::Status), 0);
}

TEST_F(SettingsStore, ReadsRecentFilesAndTextsCutToTheirCapacity) {
    const std::string longText(400, 'q');
    WriteBytes(Ini(), "[Tarnwick]\r\nx=100\r\nFontHeight=-1\r\nMruCount=10\r\n"
                      "MRU0=C:\\a.txt\r\nMRU9=C:\\j.txt\r\nMRU2=" +
                          longText + "\r\nName=" + longText + "\r\nFindString=" + longText +
                          "\r\n");
    SettingsLoad();
    EXPECT_EQ(Setting(IntKey::x), 100);
    EXPECT_EQ(Setting(IntKey::FontHeight), -13) << "-1 leaves the default";
    EXPECT_STREQ(RecentPaths[0], L"C:\\a.txt");
    EXPECT_STREQ(RecentPaths[1], L" ");
    EXPECT_STREQ(RecentPaths[9], L"C:\\j.txt");
    EXPECT_EQ(std::wstring(RecentPaths[2]), std::wstring(259, L'q'));
    EXPECT_EQ(std::wstring(FontName), std::wstring(31, L'q'));
    EXPECT_EQ(std::wstring(FindString), std::wstring(129, L'q'));
}

// With no path the profile functions would fall back to win.ini in the Windows folder.
TEST_F(SettingsStore, WritesNothingWithoutAPath) {
    IniPath[0] = L'\0';
    WriteSetting(IntKey::Wrap, 1);
    WriteStringSetting(L"FindString", L"x");
    wchar_t value[16];
    GetProfileStringW(L"Tarnwick", L"Wrap", L"absent", value, 16);
    EXPECT_STREQ(value, L"absent");
    SettingsLoad();
    EXPECT_EQ(Setting(IntKey::Wrap), 0);
}

// A copy started while another has just made the shared block, and not yet written its
// geometry into it, waits for that geometry instead of taking the empty block as a window of no
// size; a block that stays empty is taken as none.
TEST_F(SettingsStore, APlacementBlockNotYetWrittenIsWaitedForOrTakenAsNone) {
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(PlacementBlock), L"Tarnwick");
    ASSERT_NE(mapping, nullptr);
    auto* block = static_cast<PlacementBlock*>(
        MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(PlacementBlock)));
    ASSERT_NE(block, nullptr);
    const auto geometry = [] {
        return std::vector<int>{Setting(IntKey::x), Setting(IntKey::y), Setting(IntKey::Width),
                                Setting(IntKey::Height)};
    };

    std::thread writer([block] {
        Sleep(100);
        *block = {300, 200, 640, 480};
    });
    OpenSharedPlacement();
    writer.join();
    const std::vector<int> cascaded = geometry();
    CloseSharedPlacement();
    EXPECT_EQ(cascaded[2], 640) << "the other copy's width was not waited for";
    EXPECT_EQ(cascaded[3], 480);

    *block = {};
    SettingValues = DefaultIntegerSettings();
    const std::vector<int> own = geometry();
    OpenSharedPlacement();
    EXPECT_EQ(geometry(), own) << "an empty block was taken as a geometry";
    EXPECT_EQ((std::vector<int>{block->x, block->y, block->width, block->height}), own);
    CloseSharedPlacement();
    UnmapViewOfFile(block);
    CloseHandle(mapping);
}

} // namespace
