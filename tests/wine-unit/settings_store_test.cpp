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

    TempFolder folder;
};

// A new file is UTF-16, keeping text outside the code page; an ANSI file stays ANSI. Texts read
// back are cut to their buffers, and a recent entry missing from the list reads as a blank.
TEST_F(SettingsStore, CreatesANewFileAsUnicodeAndReadsTextsCutToTheirBuffers) {
    const std::wstring czech = L"\u017Elu\u0165ou\u010Dk\u00FD k\u016F\u0148 \u4E2D";
    WriteStringSetting(L"FindString", czech.c_str());
    EXPECT_EQ(ReadBytes(IniPath).substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(IniValue(IniPath, L"Tarnwick", L"FindString"), czech);
    SettingsLoad();
    EXPECT_EQ(std::wstring(FindString), czech);

    // Another file, which the profile functions have not cached.
    lstrcpynW(IniPath, (folder / L"ansi.ini").c_str(), MAX_PATH);
    const std::string longText(400, 'q');
    WriteBytes(IniPath, "[Tarnwick]\r\nMruCount=10\r\nMRU2=" + longText + "\r\nName=" + longText +
                            "\r\nFindString=" + longText + "\r\n");
    SettingsLoad();
    EXPECT_STREQ(RecentPaths[1], L" ");
    EXPECT_EQ(std::wstring(RecentPaths[2]), std::wstring(259, L'q'));
    EXPECT_EQ(std::wstring(FontName), std::wstring(31, L'q'));
    EXPECT_EQ(std::wstring(FindString), std::wstring(129, L'q'));
    WriteStringSetting(L"FindString", L"abc");
    EXPECT_EQ(ReadBytes(IniPath).substr(0, 12), "[Tarnwick]\r\n") << "an ANSI file stays ANSI";
}

// A copy started while another has made the shared block but not yet written its geometry waits
// for it instead of taking the empty block as a window of no size; one that stays empty is none.
TEST_F(SettingsStore, APlacementBlockNotYetWrittenIsWaitedForOrTakenAsNone) {
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(PlacementBlock), L"Tarnwick");
    ASSERT_NE(mapping, nullptr);
    auto* block = static_cast<PlacementBlock*>(
        MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(PlacementBlock)));
    ASSERT_NE(block, nullptr);

    std::thread writer([block] {
        Sleep(100);
        *block = {300, 200, 640, 480};
    });
    OpenSharedPlacement();
    writer.join();
    EXPECT_EQ(Setting(IntKey::Width), 640) << "the other copy's width was not waited for";
    EXPECT_EQ(Setting(IntKey::Height), 480);
    CloseSharedPlacement();

    *block = {};
    SettingValues = DefaultIntegerSettings();
    OpenSharedPlacement();
    EXPECT_EQ(SettingValues, DefaultIntegerSettings()) << "an empty block was taken as a geometry";
    EXPECT_EQ((std::vector<int>{block->x, block->y, block->width, block->height}),
              (std::vector<int>{Setting(IntKey::x), Setting(IntKey::y), Setting(IntKey::Width),
                                Setting(IntKey::Height)}));
    CloseSharedPlacement();
    UnmapViewOfFile(block);
    CloseHandle(mapping);
}

} // namespace
