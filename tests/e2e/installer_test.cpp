// The installer, run silently: a per-user installation in the user's language, offered under
// Explorer's "Open with", its settings beside the program; the uninstaller keeps them unless told.
#include "app/version.h"
#include "tests/e2e/driver.h"

#include <shlobj.h>

namespace {

std::wstring KnownFolder(int folder) {
    wchar_t path[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

const std::wstring kUninstallKey = L"Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarnwick";
const std::wstring kAbsent = L"(absent)", kNoKey = L"(no key)", kRegNone = L"(REG_NONE)";

// A string value under the user's Software key; kRegNone for a value of type REG_NONE, kNoKey
// when the key itself is not there (the uninstaller removes whole keys).
std::wstring RegistryValue(const std::wstring& key, const std::wstring& name) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, (L"Software\\" + key).c_str(), 0, KEY_READ, &opened) !=
        ERROR_SUCCESS) {
        return kNoKey;
    }
    wchar_t value[MAX_PATH] = L"";
    DWORD size = sizeof value;
    DWORD type = REG_NONE;
    const LSTATUS read =
        RegGetValueW(opened, nullptr, name.c_str(), RRF_RT_ANY, &type, value, &size);
    RegCloseKey(opened);
    return read != ERROR_SUCCESS ? kAbsent : type == REG_NONE ? kRegNone : value;
}

// The sizes of the icon Tarnwick.exe shows in Explorer, the taskbar and the Start menu: its group
// is a 6-byte header (the count at offset 4), then 14 bytes per image, first its width (0: 256).
std::vector<int> IconSizes(const std::wstring& exe) {
    const HMODULE image = LoadResources(exe);
    const HRSRC group = FindResourceW(image, MAKEINTRESOURCEW(IDI_TARNWICK), RT_GROUP_ICON);
    const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(image, group)));
    std::vector<int> sizes;
    for (int entry = 0; directory != nullptr && entry < directory[4]; ++entry) {
        const int width = directory[6 + 14 * entry];
        sizes.push_back(width == 0 ? 256 : width);
    }
    FreeLibrary(image);
    return sizes;
}

// Runs the program with the switches and expects it to end with code 0.
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
    WaitUntil([] { return RegistryValue(kUninstallKey, L"DisplayName") == kNoKey; }, 60000);
}

TEST(Installer, InstallsForTheUserInTheirLanguageOffersOpenWithAndUninstallsKeepingTheSettings) {
    const std::wstring setup = Environment(L"TARNWICK_SETUP");
    ASSERT_TRUE(FileExists(setup)) << "no installer at " << Utf8(setup) << "; ./build makes it";
    const std::wstring folder = KnownFolder(CSIDL_LOCAL_APPDATA) + L"\\Programs\\Tarnwick\\";
    const std::wstring shortcut = KnownFolder(CSIDL_PROGRAMS) + L"\\Tarnwick.lnk";
    const std::vector<std::wstring> installed = {L"Tarnwick.exe",           L"uninstall.exe",
                                                 L"Languages\\English.dll", L"Languages\\Czech.dll",
                                                 L"Languages\\Slovak.dll",  L"Help\\English.chm",
                                                 L"Help\\Slovak.chm"};
    const std::wstring command = Quoted(folder + L"Tarnwick.exe") + L" \"%1\"";
    // Another program is the default for .log files, and stays it.
    const KeptRegistryValue logs(HKEY_CURRENT_USER, L"Software\\Classes\\.log", L"", L"logfile");
    const struct {
        std::wstring key, name, installed, uninstalled;
    } values[] = {
        {kUninstallKey, L"DisplayName", L"Tarnwick", kNoKey},
        {kUninstallKey, L"DisplayVersion", L"" TARNWICK_VERSION_TEXT, kNoKey},
        {kUninstallKey, L"UninstallString", Quoted(folder + L"uninstall.exe"), kNoKey},
        {kUninstallKey, L"InstallerLanguage", L"1051", kNoKey}, // Slovak
        {L"Classes\\Tarnwick.txt", L"", kAbsent, kNoKey},
        {L"Classes\\Tarnwick.txt\\shell\\open\\command", L"", command, kNoKey},
        {L"Classes\\Tarnwick.txt\\DefaultIcon", L"", folder + L"Tarnwick.exe,0", kNoKey},
        {L"Classes\\Applications\\Tarnwick.exe", L"FriendlyAppName", L"Tarnwick", kNoKey},
        {L"Classes\\Applications\\Tarnwick.exe\\shell\\open\\command", L"", command, kNoKey},
        {L"Classes\\Applications\\Tarnwick.exe\\SupportedTypes", L".txt", L"", kNoKey},
        {L"Classes\\Applications\\Tarnwick.exe\\SupportedTypes", L".log", L"", kNoKey},
        {L"Classes\\Applications\\Tarnwick.exe\\SupportedTypes", L".ini", L"", kNoKey},
        {L"Classes\\.txt\\OpenWithProgids", L"Tarnwick.txt", kRegNone, kNoKey},
        {L"Classes\\.log\\OpenWithProgids", L"Tarnwick.txt", kRegNone, kNoKey},
        {L"Classes\\.ini\\OpenWithProgids", L"Tarnwick.txt", kRegNone, kNoKey},
        {L"Classes\\.txt", L"", kAbsent, kNoKey},
        {L"Classes\\.log", L"", L"logfile", L"logfile"},
        {L"Classes\\.ini", L"", kAbsent, kNoKey},
    };

    // The files, the shortcut and the registry values there after installing, or gone after.
    const auto expectInstalled = [&](bool there) {
        SCOPED_TRACE(there ? "after installing" : "after uninstalling");
        for (const std::wstring& file : installed) {
            EXPECT_EQ(FileExists(folder + file), there) << Utf8(file);
        }
        EXPECT_EQ(FileExists(shortcut), there) << "the Start menu shortcut";
        for (const auto& value : values) {
            EXPECT_EQ(RegistryValue(value.key, value.name),
                      there ? value.installed : value.uninstalled)
                << Utf8(value.key) << " " << Utf8(value.name);
        }
    };

    RunSilently(setup, L"/S /LANG=sk");
    expectInstalled(true);
    EXPECT_EQ(IconSizes(folder + L"Tarnwick.exe"), (std::vector<int>{16, 24, 32, 48, 256}));
    EXPECT_EQ(ReadBytes(folder + L"Tarnwick.ini"),
              Utf16LeFile(L"[Tarnwick]\r\nLanguage=10002\r\n"));

    // The "Open with" command, given a file's name as Explorer gives it, opens that file in the
    // installed program, which speaks the installer's language.
    {
        TempFolder documents;
        WriteBytes(documents / L"a letter.txt", "Dear reader");
        std::wstring line = command;
        line.replace(line.find(L"%1"), 2, documents / L"a letter.txt");
        Program tarnwick(folder + L"Tarnwick.exe", line, documents.Path());
        tarnwick.ExpectDocument(Title(L"a letter.txt"), L"Dear reader", false);
        SendCommand(tarnwick.MainWindow(), IDM_FILE_NEW);
        ExpectTitle(tarnwick.MainWindow(),
                    Title(LibraryString(folder + L"Languages\\Slovak.dll", IDS_UNTITLED)));
        tarnwick.CloseNormally();
    }
    const std::string settings = ReadBytes(folder + L"Tarnwick.ini");
    CreateDirectoryW((folder + L"Recovery").c_str(), nullptr);
    WriteBytes(folder + L"Recovery\\unsaved.txt", "kept for recovery");

    UninstallSilently(folder, L"/S");
    expectInstalled(false);
    EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"Tarnwick.ini"});
    EXPECT_EQ(ReadBytes(folder + L"Tarnwick.ini"), settings);
    EXPECT_TRUE(FileExists(folder + L"Recovery\\unsaved.txt")) << "the recovered text went";

    // Installed in another language over the kept settings, which stay; then removed with them.
    RunSilently(setup, L"/S /LANG=cs");
    EXPECT_EQ(ReadBytes(folder + L"Tarnwick.ini"), settings) << "touched by the installer";
    UninstallSilently(folder, L"/S /REMOVESETTINGS");
    EXPECT_TRUE(WaitUntil([&] { return !FileExists(folder); })) << "the program's folder stayed";
}

} // namespace
