// The language submenu, the About box and the guide as a user meets them: another language
// chosen while the program runs, keeping the menus' state; a library that cannot serve refused.
#include "tests/e2e/driver.h"

#include <algorithm>
#include <set>

namespace {

// The user opens Options and its Language submenu by their keys ("Alt+P L" in English), which
// lists the folder, closes them and chooses the entry with this name; gives the entries listed.
std::vector<MenuItemView> ChooseLanguage(const Program& tarnwick, const wchar_t* keys,
                                         const std::wstring& name) {
    BringToFront(tarnwick.MainWindow());
    Keys(keys);
    EXPECT_TRUE(WaitUntil([&] { return tarnwick.Windows(L"#32768").size() == 2; }))
        << "the Language submenu did not open";
    Keys(L"Esc Esc Esc");
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

bool Checked(const std::vector<MenuItemView>& items, UINT command) {
    return std::ranges::any_of(
        items, [&](const auto& item) { return item.id == command && item.checked; });
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
    tarnwick.DropFiles(main, {sandbox / L"a.txt"});

    BringToFront(main);
    SendCommand(main, IDM_HELP_ABOUT);
    const DialogView about = tarnwick.Dialog(L"About Tarnwick");
    EXPECT_EQ(about.Text(IDC_ABOUT_PRODUCT), L"Tarnwick 1.0.0");
    EXPECT_TRUE(about.Text(IDC_ABOUT_COPYRIGHT).starts_with(L"Copyright"));
    ExpectCentredOver(about.window, main);
    // Escape ends the box through WM_CLOSE, the way the close box does.
    Keys(L"Esc");
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about.window); })) << "the About box stayed";
    // Opening a .chm file writes its name into opened.txt instead of starting the help viewer.
    const std::wstring opened = sandbox / L"opened.txt";
    const KeptRegistryValue type(HKEY_CLASSES_ROOT, L".chm", L"", L"TarnwickTestHelp");
    const KeptRegistryValue command(HKEY_CLASSES_ROOT, L"TarnwickTestHelp\\shell\\open\\command",
                                    L"", L"cmd.exe /c echo %1>\"" + opened + L"\"");
    SendCommand(main, IDM_HELP_CONTENTS);
    ExpectSoon("the file opened", sandbox / L"Help\\English.chm", [&] {
        const std::string bytes = ReadBytes(opened);
        return std::wstring(bytes.begin(), bytes.begin() + (bytes.find_last_not_of(" \r\n") + 1));
    });

    // The submenu, first in Options, lists the folder with the library in use checked. Broken.dll
    // comes first, so the entries are not in the program's own order. "*": checked.
    std::set<std::wstring> listed;
    for (const MenuItemView& item : ChooseLanguage(tarnwick, L"Alt+P L", L"Czech")) {
        listed.insert(item.text + (item.checked ? L"*" : L""));
    }
    EXPECT_EQ(listed,
              (std::set<std::wstring>{L"Broken", L"Czech", L"English*", L"Fourth", L"Slovak"}));
    sandbox.ExpectIni(L"Language=10000");
    const std::wstring czechLibrary = sandbox / L"Languages\\Czech.dll";
    const std::wstring czech = FirstFileItem(czechLibrary);
    const auto firstItem = [](const Program& program) {
        const std::vector<MenuItemView> file = program.MenuItems(kFilePopup);
        return file.empty() ? std::wstring() : file[0].text;
    };
    ExpectSoon("the File popup's first item", czech, [&] { return firstItem(tarnwick); });
    EXPECT_TRUE(std::ranges::any_of(tarnwick.MenuItems(kFilePopup), [](const MenuItemView& item) {
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
    ChooseLanguage(tarnwick, L"Alt+M J", L"Broken");
    tarnwick.Answer(inCzech(IDS_LANGUAGE_NOT_LOADED, L"Broken.dll"),
                    LibraryString(czechLibrary, IDS_ERROR_CAPTION), L"OK");
    EXPECT_EQ(firstItem(tarnwick), czech);
    sandbox.ExpectIni(L"Language=10000");

    // A library of no known name is taken, and gives way to English at the next start.
    ChooseLanguage(tarnwick, L"Alt+M J", L"Fourth");
    ExpectSoon("the File popup's first item", FirstFileItem(sandbox / L"Languages\\Slovak.dll"),
               [&] { return firstItem(tarnwick); });
    sandbox.ExpectIni(L"Language=10003");
    tarnwick.CloseNormally();
    Program again(sandbox);
    EXPECT_EQ(firstItem(again), FirstFileItem(sandbox / L"Languages\\English.dll"));
    again.CloseNormally();
}

} // namespace
