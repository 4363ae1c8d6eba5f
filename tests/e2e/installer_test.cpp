// The installer as a Windows user runs it, silently here: a per-user installation that starts,
// keeps its settings writable beside the program, and an uninstaller that removes what was
// installed and keeps the settings unless told otherwise.
#include "language/resource_ids.h"
#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

#include <shlobj.h>

namespace {

std::wstring KnownFolder(int folder) {
    wchar_t path[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

const std::wstring kUninstallKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarnwick";

std::optional<std::wstring> UninstallValue(const std::wstring& name) {
    wchar_t value[MAX_PATH];
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kUninstallKey.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                     value, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

// The sizes of the icon that Tarnwick.exe shows in Explorer, the taskbar and the Start menu.
std::vector<int> IconSizes(const std::wstring& exe) {
    HMODULE image = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    HRSRC group = image != nullptr
                      ? FindResourceW(image, MAKEINTRESOURCEW(IDI_TARNWICK), RT_GROUP_ICON)
                      : nullptr;
    const auto* directory = group != nullptr
                                ? static_cast<const BYTE*>(LockResource(LoadResource(image, group)))
                                : nullptr;
    std::vector<int> sizes;
    // The group: a 6-byte header with the count at offset 4, then 14 bytes per image whose first
    // byte is its width (0 for 256).
    for (int entry = 0; directory != nullptr && entry < directory[4]; ++entry) {
        const int width = directory[6 + 14 * entry];
        sizes.push_back(width == 0 ? 256 : width);
    }
    if (image != nullptr) {
        FreeLibrary(image);
    }
    return sizes;
}

// Runs the program with the switches in the folder and expects it to end with code 0.
void RunSilently(const std::wstring& exe, const std::wstring& switches) {
    Program run(exe, Quoted(exe) + L" " + switches, KnownFolder(CSIDL_LOCAL_APPDATA));
    EXPECT_EQ(run.WaitForExit(60000), 0u) << Utf8(exe);
}

// The uninstaller returns at once and works from a copy of itself: its work is done when its
// own file is gone and, its last step, the uninstall entry.
void UninstallSilently(const std::wstring& folder, const std::wstring& switches) {
    RunSilently(folder + L"uninstall.exe", switches);
    EXPECT_TRUE(WaitUntil([&] { return !FileExists(folder + L"uninstall.exe"); }, 60000))
        << "the uninstaller left itself behind";
    WaitUntil([] { return !UninstallValue(L"DisplayName"); }, 60000);
}

TEST(Installer, InstallsForTheUserStartsAndUninstallsKeepingTheSettingsUnlessAsked) {
    const std::wstring setup = Environment(L"TARNWICK_SETUP");
    ASSERT_TRUE(FileExists(setup)) << "no installer at " << Utf8(setup) << "; ./build makes it";
    const std::wstring folder = KnownFolder(CSIDL_LOCAL_APPDATA) + L"\\Programs\\Tarnwick\\";
    const std::wstring shortcut = KnownFolder(CSIDL_PROGRAMS) + L"\\Tarnwick.lnk";
    const std::vector<std::wstring> installed = {L"Tarnwick.exe",           L"uninstall.exe",
                                                 L"Languages\\English.dll", L"Languages\\Czech.dll",
                                                 L"Languages\\Slovak.dll",  L"Help\\English.chm",
                                                 L"Help\\Slovak.chm"};

    RunSilently(setup, L"/S");
    for (const std::wstring& file : installed) {
        EXPECT_TRUE(FileExists(folder + file)) << Utf8(file) << " was not installed";
    }
    EXPECT_TRUE(FileExists(shortcut)) << "no Start menu shortcut";
    EXPECT_EQ(UninstallValue(L"DisplayName").value_or(L"(absent)"), L"Tarnwick");
    EXPECT_EQ(UninstallValue(L"UninstallString").value_or(L"(absent)"),
              Quoted(folder + L"uninstall.exe"));
    EXPECT_FALSE(UninstallValue(L"DisplayVersion").value_or(L"").empty());
    EXPECT_EQ(IconSizes(folder + L"Tarnwick.exe"), (std::vector<int>{16, 24, 32, 48, 256}));

    // The installed program starts in English and writes its settings beside itself.
    {
        Program tarnwick(folder + L"Tarnwick.exe", Quoted(folder + L"Tarnwick.exe"), folder);
        ExpectTitle(tarnwick.MainWindow(),
                    Title(LibraryString(folder + L"Languages\\English.dll", IDS_UNTITLED)));
        tarnwick.CloseNormally();
    }
    ASSERT_TRUE(FileExists(folder + L"Tarnwick.ini")) << "the settings were not written";
    const std::string settings = ReadBytes(folder + L"Tarnwick.ini");

    UninstallSilently(folder, L"/S");
    for (const std::wstring& file : installed) {
        EXPECT_FALSE(FileExists(folder + file)) << Utf8(file) << " was not removed";
    }
    EXPECT_FALSE(FileExists(shortcut)) << "the Start menu shortcut stayed";
    EXPECT_FALSE(UninstallValue(L"DisplayName")) << "the uninstall entry stayed";
    EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"Tarnwick.ini"});
    EXPECT_EQ(ReadBytes(folder + L"Tarnwick.ini"), settings);

    // Installed over the kept settings, then removed with them.
    RunSilently(setup, L"/S");
    EXPECT_EQ(ReadBytes(folder + L"Tarnwick.ini"), settings)
        << "the installer touched the settings";
    UninstallSilently(folder, L"/S /REMOVESETTINGS");
    EXPECT_TRUE(WaitUntil([&] {
        return GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
    })) << "the program's folder stayed";
}

} // namespace
