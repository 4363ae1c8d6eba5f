// The language submenu and the About box as a user meets them: another language chosen while
// the program runs, with nothing of the menus' state lost, a library that cannot serve
// refused, and the About box's texts, place and ways to close.
#include "language/resource_ids.h"
#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace {

constexpr int kOptionsPopup = 5;

// The command of a library's entry: the submenu lists Languages\*.dll in the folder's order.
UINT LanguageCommand(const Sandbox& sandbox, const std::wstring& file) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((sandbox / L"Languages\\*.dll").c_str(), &found);
    UINT command = IDM_LANGUAGE_FIRST;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (lstrcmpiW(found.cFileName, file.c_str()) == 0) {
                break;
            }
            ++command;
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return command;
}

// The user opens Options and its Language submenu, which lists the folder, then closes them.
// The mnemonics of Options and of its Language submenu differ by language ('P' and 'L' in
// English, 'M' and 'J' in Czech).
void OpenLanguageSubmenu(const Program& tarnwick, WORD options, WORD language) {
    BringToFront(tarnwick.MainWindow());
    const auto menusShown = [&](std::size_t count) {
        return WaitUntil([&] { return tarnwick.Windows(L"#32768").size() == count; });
    };
    PressKey(options, {VK_MENU});
    EXPECT_TRUE(menusShown(1)) << "the Options popup did not open";
    PressKey(language);
    EXPECT_TRUE(menusShown(2)) << "the Language submenu did not open";
    PressKey(VK_ESCAPE);
    PressKey(VK_ESCAPE);
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(menusShown(0)) << "the menus stayed open";
}

// The first item of the File popup of a library's own menu.
std::wstring FirstFileItem(const std::wstring& library) {
    HMODULE module = LoadLibraryExW(library.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
    HMENU menu = LoadMenuW(module, MAKEINTRESOURCEW(IDR_MAIN_MENU));
    wchar_t text[256] = L"";
    GetMenuStringW(GetSubMenu(menu, 0), 0, text, 256, MF_BYPOSITION);
    DestroyMenu(menu);
    FreeLibrary(module);
    return text;
}

// While it lives, opening a .chm file writes the file's name into `record` instead of starting
// the help viewer: the type's association points at a command of the test's own, and gets its
// old value back afterwards.
class HelpOpenings {
  public:
    explicit HelpOpenings(std::wstring record) : record_(std::move(record)) {
        wchar_t old[256] = L"";
        DWORD size = sizeof(old);
        if (RegGetValueW(HKEY_CLASSES_ROOT, L".chm", nullptr, RRF_RT_REG_SZ, nullptr, old, &size) ==
            ERROR_SUCCESS) {
            oldType_ = old;
        }
        Set(L".chm", L"TarnwickTestHelp");
        Set(L"TarnwickTestHelp\\shell\\open\\command", L"cmd.exe /c echo %1>\"" + record_ + L"\"");
    }
    ~HelpOpenings() {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"TarnwickTestHelp");
        if (oldType_.empty()) {
            RegDeleteTreeW(HKEY_CLASSES_ROOT, L".chm");
        } else {
            Set(L".chm", oldType_);
        }
    }
    // The name of the file opened last, once it has been written.
    std::wstring Opened() const {
        std::string bytes;
        WaitUntil([&] { return !(bytes = ReadBytes(record_)).empty(); });
        while (!bytes.empty() && std::isspace(static_cast<unsigned char>(bytes.back()))) {
            bytes.pop_back();
        }
        return std::wstring(bytes.begin(), bytes.end());
    }

  private:
    static void Set(const wchar_t* key, const std::wstring& value) {
        EXPECT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, key, nullptr, REG_SZ, value.c_str(),
                                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    std::wstring record_;
    std::wstring oldType_;
};

bool Checked(const std::vector<MenuItemView>& items, UINT command) {
    for (const MenuItemView& item : items) {
        if (item.id == command) {
            return item.checked;
        }
    }
    return false;
}

TEST(Language, SwitchesWhileRunningKeepsTheMenusAndRefusesABrokenLibrary) {
    Sandbox sandbox;
    WriteBytes(sandbox / L"Languages\\Broken.dll", "not a library");
    WriteBytes(sandbox / L"a.txt", "text");
    sandbox.WriteIni("[Tarnwick]\r\nCenterVertAfterFind=1\r\n");
    Program tarnwick(sandbox);
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    tarnwick.DropFiles(main, {sandbox / L"a.txt"});
    ExpectTitle(main, Title(L"a.txt"));
    const std::wstring czech = FirstFileItem(sandbox / L"Languages\\Czech.dll");

    OpenLanguageSubmenu(tarnwick, 'P', 'L');
    // The submenu, first in Options, lists the folder with the library in use checked.
    std::vector<std::wstring> listed;
    std::vector<std::wstring> checked;
    for (const MenuItemView& item : tarnwick.MenuItems(kOptionsPopup, 0)) {
        listed.push_back(item.text);
        if (item.checked) {
            checked.push_back(item.text);
        }
    }
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::wstring>{L"Broken", L"Czech", L"English", L"Slovak"}));
    EXPECT_EQ(checked, std::vector<std::wstring>{L"English"});
    SendCommand(main, LanguageCommand(sandbox, L"Czech.dll"));
    EXPECT_TRUE(WaitUntil([&] { return sandbox.IniValue(L"Language") == L"10000"; }));
    std::vector<MenuItemView> file;
    EXPECT_TRUE(WaitUntil([&] {
        file = tarnwick.MenuItems(0);
        return !file.empty() && file[0].text == czech;
    })) << "the File popup begins with "
        << (file.empty() ? "nothing" : Utf8(file[0].text));
    EXPECT_TRUE(std::any_of(file.begin(), file.end(), [](const MenuItemView& item) {
        return item.id == IDM_FILE_RECENT_FIRST;
    })) << "the recent files are in the new menu";
    const std::vector<MenuItemView> options = tarnwick.MenuItems(kOptionsPopup);
    EXPECT_TRUE(Checked(options, IDM_OPTIONS_CENTER_AFTER_FIND));
    EXPECT_TRUE(Checked(options, IDM_OPTIONS_NEW_FILE_ANSI) ||
                Checked(options, IDM_OPTIONS_NEW_FILE_UTF16LE));
    std::wstring lines = LibraryString(sandbox / L"Languages\\Czech.dll", IDS_STATUS_LINES);
    lines.replace(lines.find(L'%'), 1, L"1");
    ExpectStatusText(main, 1, lines);
    {
        // Czech readers get the Slovak guide.
        const HelpOpenings help(sandbox / L"opened.txt");
        SendCommand(main, IDM_HELP_CONTENTS);
        EXPECT_EQ(help.Opened(), sandbox / L"Help\\Slovak.chm");
    }

    // A file that is no library: the program says so in its current language and keeps it.
    OpenLanguageSubmenu(tarnwick, 'M', 'J');
    SendCommand(main, LanguageCommand(sandbox, L"Broken.dll"));
    const std::wstring czechLibrary = sandbox / L"Languages\\Czech.dll";
    std::wstring refusal = LibraryString(czechLibrary, IDS_LANGUAGE_NOT_LOADED);
    refusal.replace(refusal.find(L'%'), 1, L"Broken.dll");
    tarnwick.Answer(refusal, LibraryString(czechLibrary, IDS_ERROR_CAPTION), L"OK");
    EXPECT_EQ(tarnwick.MenuItems(0)[0].text, czech);
    EXPECT_EQ(sandbox.IniValue(L"Language"), L"10000");
    tarnwick.CloseNormally();

    Program again(sandbox);
    ASSERT_NE(again.MainWindow(), nullptr);
    EXPECT_EQ(again.MenuItems(0)[0].text, czech);
    again.CloseNormally();
}

// Without Czech.dll the entries no longer follow the program's own numbering: each entry
// still loads the library it names, and one the program does not know gives way to English at
// the next start.
TEST(Language, EachEntryLoadsTheLibraryItNames) {
    Sandbox sandbox;
    const std::wstring english = sandbox / L"Languages\\English.dll";
    sandbox.RemoveLanguage(L"Czech.dll");
    sandbox.PutLanguage(english, L"Fourth.dll");
    Program tarnwick(sandbox);
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    OpenLanguageSubmenu(tarnwick, 'P', 'L');
    SendCommand(main, LanguageCommand(sandbox, L"Slovak.dll"));
    const std::wstring slovak = FirstFileItem(sandbox / L"Languages\\Slovak.dll");
    EXPECT_TRUE(WaitUntil([&] { return tarnwick.MenuItems(0)[0].text == slovak; }));
    EXPECT_EQ(sandbox.IniValue(L"Language"), L"10002");

    OpenLanguageSubmenu(tarnwick, 'M', 'J');
    SendCommand(main, LanguageCommand(sandbox, L"Fourth.dll"));
    EXPECT_TRUE(WaitUntil([&] { return sandbox.IniValue(L"Language") == L"10003"; }));
    EXPECT_EQ(tarnwick.MenuItems(0)[0].text, FirstFileItem(english));
    tarnwick.CloseNormally();

    Program again(sandbox);
    ASSERT_NE(again.MainWindow(), nullptr);
    EXPECT_EQ(again.MenuItems(0)[0].text, FirstFileItem(english));
    again.CloseNormally();
}

TEST(HelpAndAbout, AMissingGuideIsReportedAndAboutShowsTheVersionAndClosesEveryWay) {
    Sandbox sandbox;
    const std::wstring guide = sandbox / L"Help\\English.chm";
    Program tarnwick(sandbox);
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    {
        const HelpOpenings help(sandbox / L"opened.txt");
        SendCommand(main, IDM_HELP_CONTENTS);
        EXPECT_EQ(help.Opened(), guide);
    }
    ASSERT_TRUE(DeleteFileW(guide.c_str()));
    SendCommand(main, IDM_HELP_CONTENTS);
    tarnwick.Answer(English(sandbox, IDS_FILE_NOT_FOUND, guide), L"Tarnwick", L"OK");

    BringToFront(main);
    for (int way = 0; way < 3; ++way) {
        SendCommand(main, IDM_HELP_ABOUT);
        const HWND about = tarnwick.WaitForDialog(L"About Tarnwick");
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(WindowText(GetDlgItem(about, IDC_ABOUT_PRODUCT)), L"Tarnwick 1.0.0");
        EXPECT_EQ(WindowText(GetDlgItem(about, IDC_ABOUT_COPYRIGHT)).rfind(L"Copyright", 0), 0u);
        ExpectCentredOver(about, main);
        if (way == 0) {
            PressKey(VK_ESCAPE);
        } else if (way == 1) {
            PostMessageW(about, WM_COMMAND, IDCANCEL, 0);
        } else {
            PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); })) << "way " << way;
    }
    tarnwick.CloseNormally();
}

} // namespace
