// The language submenu, the About box and the guide as a user meets them: another language
// chosen while the program runs, with nothing of the menus' state lost, a library that cannot
// serve refused, the About box's texts, place and ways to close, and the guide to open.
#include "language/resource_ids.h"
#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr int kOptionsPopup = 5;

// The user opens Options and its Language submenu, so that the program lists the folder in it,
// closes them, and chooses the entry with this name. The mnemonics of Options and of Language
// differ by language ('P' and 'L' in English, 'M' and 'J' in Czech). Gives the entries listed.
std::vector<MenuItemView> ChooseLanguage(const Program& tarnwick, WORD options, WORD language,
                                         const std::wstring& name) {
    BringToFront(tarnwick.MainWindow());
    PressKey(options, {VK_MENU});
    PressKey(language);
    EXPECT_TRUE(WaitUntil([&] { return tarnwick.Windows(L"#32768").size() == 2; }))
        << "the Language submenu did not open";
    for (int menu = 0; menu < 3; ++menu) {
        PressKey(VK_ESCAPE);
    }
    EXPECT_TRUE(WaitUntil([&] { return tarnwick.Windows(L"#32768").empty(); }))
        << "the menus stayed open";
    const std::vector<MenuItemView> entries = tarnwick.MenuItems(kOptionsPopup, 0);
    const auto entry = std::ranges::find(entries, name, &MenuItemView::text);
    EXPECT_NE(entry, entries.end()) << "no entry " << Utf8(name) << " in the Language submenu";
    if (entry != entries.end()) {
        SendCommand(tarnwick.MainWindow(), entry->id);
    }
    return entries;
}

// The first item of the File popup of a library's own menu.
std::wstring FirstFileItem(const std::wstring& library) {
    const HMODULE module = LoadResources(library);
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
        DWORD size = sizeof(oldType_);
        RegGetValueW(HKEY_CLASSES_ROOT, L".chm", nullptr, RRF_RT_REG_SZ, nullptr, oldType_, &size);
        Set(L".chm", L"TarnwickTestHelp");
        Set(L"TarnwickTestHelp\\shell\\open\\command", L"cmd.exe /c echo %1>\"" + record_ + L"\"");
    }
    ~HelpOpenings() {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"TarnwickTestHelp");
        if (oldType_[0] == L'\0') {
            RegDeleteTreeW(HKEY_CLASSES_ROOT, L".chm");
        } else {
            Set(L".chm", oldType_);
        }
    }
    // The name of the file opened since the last call, once it has been written.
    std::wstring Opened() const {
        std::string bytes;
        WaitUntil([&] { return !(bytes = ReadBytes(record_)).empty(); });
        DeleteFileW(record_.c_str());
        bytes.erase(bytes.find_last_not_of(" \r\n") + 1);
        return std::wstring(bytes.begin(), bytes.end());
    }

  private:
    static void Set(const wchar_t* key, const std::wstring& value) {
        EXPECT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, key, nullptr, REG_SZ, value.c_str(),
                                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    std::wstring record_;
    wchar_t oldType_[256] = L"";
};

bool Checked(const std::vector<MenuItemView>& items, UINT command) {
    return std::any_of(items.begin(), items.end(), [&](const MenuItemView& item) {
        return item.id == command && item.checked;
    });
}

TEST(Language, SwitchesWhileRunningKeepingTheMenusAndTheAboutBoxAndGuideFollow) {
    Sandbox sandbox;
    WriteBytes(sandbox / L"Languages\\Broken.dll", "not a library");
    // A library the program has no number for, which speaks Slovak.
    sandbox.PutLanguage(sandbox / L"Languages\\Slovak.dll", L"Fourth.dll");
    WriteBytes(sandbox / L"a.txt", "text");
    sandbox.WriteIni("[Tarnwick]\r\nCenterVertAfterFind=1\r\n");
    Program tarnwick(sandbox);
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    tarnwick.DropFiles(main, {sandbox / L"a.txt"});
    ExpectTitle(main, Title(L"a.txt"));

    BringToFront(main);
    for (bool escape : {true, false}) {
        SendCommand(main, IDM_HELP_ABOUT);
        const HWND about = tarnwick.WaitForDialog(L"About Tarnwick");
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(WindowText(GetDlgItem(about, IDC_ABOUT_PRODUCT)), L"Tarnwick 1.0.0");
        EXPECT_EQ(WindowText(GetDlgItem(about, IDC_ABOUT_COPYRIGHT)).rfind(L"Copyright", 0), 0u);
        ExpectCentredOver(about, main);
        if (escape) {
            PressKey(VK_ESCAPE);
        } else {
            PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); })) << "escape " << escape;
    }
    const HelpOpenings help(sandbox / L"opened.txt");
    SendCommand(main, IDM_HELP_CONTENTS);
    EXPECT_EQ(help.Opened(), sandbox / L"Help\\English.chm");

    // The submenu, first in Options, lists the folder with the library in use checked. Broken.dll
    // comes first, so the entries are not in the program's own order.
    std::vector<std::wstring> listed;
    std::vector<std::wstring> checked;
    for (const MenuItemView& item : ChooseLanguage(tarnwick, 'P', 'L', L"Czech")) {
        listed.push_back(item.text);
        if (item.checked) {
            checked.push_back(item.text);
        }
    }
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed,
              (std::vector<std::wstring>{L"Broken", L"Czech", L"English", L"Fourth", L"Slovak"}));
    EXPECT_EQ(checked, std::vector<std::wstring>{L"English"});
    EXPECT_TRUE(WaitUntil([&] { return sandbox.IniValue(L"Language") == L"10000"; }));
    const std::wstring czechLibrary = sandbox / L"Languages\\Czech.dll";
    const std::wstring czech = FirstFileItem(czechLibrary);
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
    const auto inCzech = [&](UINT id, const std::wstring& insert) {
        std::wstring text = LibraryString(czechLibrary, id);
        return text.replace(text.find(L'%'), 1, insert);
    };
    ExpectStatusText(main, 1, inCzech(IDS_STATUS_LINES, L"1"));
    // Czech readers get the Slovak guide; without it they are told, in Czech.
    const std::wstring guide = sandbox / L"Help\\Slovak.chm";
    ASSERT_TRUE(DeleteFileW(guide.c_str()));
    SendCommand(main, IDM_HELP_CONTENTS);
    tarnwick.Answer(inCzech(IDS_FILE_NOT_FOUND, guide), L"Tarnwick", L"OK");

    // A file that is no library: the program says so in its current language and keeps it.
    ChooseLanguage(tarnwick, 'M', 'J', L"Broken");
    tarnwick.Answer(inCzech(IDS_LANGUAGE_NOT_LOADED, L"Broken.dll"),
                    LibraryString(czechLibrary, IDS_ERROR_CAPTION), L"OK");
    EXPECT_EQ(tarnwick.MenuItems(0)[0].text, czech);
    EXPECT_EQ(sandbox.IniValue(L"Language"), L"10000");

    // A library of no known name is taken, and gives way to English at the next start.
    ChooseLanguage(tarnwick, 'M', 'J', L"Fourth");
    const std::wstring slovak = FirstFileItem(sandbox / L"Languages\\Slovak.dll");
    EXPECT_TRUE(WaitUntil([&] { return tarnwick.MenuItems(0)[0].text == slovak; }));
    EXPECT_EQ(sandbox.IniValue(L"Language"), L"10003");
    tarnwick.CloseNormally();
    Program again(sandbox);
    ASSERT_NE(again.MainWindow(), nullptr);
    EXPECT_EQ(again.MenuItems(0)[0].text, FirstFileItem(sandbox / L"Languages\\English.dll"));
    again.CloseNormally();
}

} // namespace
