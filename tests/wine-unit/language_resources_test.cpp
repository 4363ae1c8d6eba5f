// The three language libraries hold the same resources with the same ids, every text the
// program formats has the placeholders it needs, and an incomplete library is refused.
#include "language/language_library.h"
#include "language/resource_ids.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <vector>

namespace {

using namespace std::string_literals;

// The program's commands as runs of ids: a menu or shortcut carrying any other closes the window.
bool KnownCommand(UINT id) {
    const std::pair<UINT, UINT> runs[] = {
        {IDM_SEARCH_FIND, IDM_SEARCH_FIND_PREVIOUS},
        {IDM_EDIT_CLEAR_CLIPBOARD, IDM_EDIT_PASTE},
        {IDM_EDIT_CUT, IDM_EDIT_REVERSE},
        {IDM_FILE_NEW, IDM_FILE_PRINT},
        {IDM_FILE_NEW_WINDOW, IDM_FILE_TO_TRAY},
        {IDM_EDIT_INSERT_DATE_TIME, IDM_VIEW_FULL_SCREEN},
        {IDM_ENCODING_ANSI, IDM_ENCODING_UTF16LE},
        {IDM_OPTIONS_BACKGROUND_COLOR, IDM_OPTIONS_CENTER_AFTER_FIND},
        {IDM_HELP_ABOUT, IDM_HELP_CONTENTS},
        {IDM_HTML_PARAGRAPH, IDM_HTML_ITALIC}};
    return std::any_of(std::begin(runs), std::end(runs),
                       [id](const auto& run) { return id >= run.first && id <= run.second; });
}

// The menu's shape (ids, popups in brackets, "-" for a separator) and the commands it carries.
std::wstring Shape(HMENU menu, std::vector<UINT>& commands) {
    std::wstring shape;
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        if (HMENU popup = GetSubMenu(menu, position)) {
            shape += L"[" + Shape(popup, commands) + L"]";
        } else if (GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION) & MF_SEPARATOR) {
            shape += L"-,";
        } else {
            commands.push_back(GetMenuItemID(menu, position));
            shape += std::to_wstring(commands.back()) + L",";
        }
    }
    return shape;
}

std::vector<int> DialogControlIds(HMODULE library, UINT dialog) {
    HWND window = CreateDialogParamW(
        library, MAKEINTRESOURCEW(dialog), nullptr,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    std::vector<int> ids;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        ids.push_back(GetDlgCtrlID(child));
    }
    DestroyWindow(window);
    return ids;
}

// The accelerator table as it is stored: flags, key, command and padding in each entry.
using Shortcut = std::array<WORD, 4>;

std::vector<Shortcut> Shortcuts(HMODULE library) {
    HRSRC found = FindResourceW(library, MAKEINTRESOURCEW(IDR_ACCELERATORS), RT_ACCELERATOR);
    const auto* entries = static_cast<const Shortcut*>(LockResource(LoadResource(library, found)));
    return {entries, entries + SizeofResource(library, found) / sizeof(Shortcut)};
}

// Any command not the program's own closes the window, the exit item's included (it closes by
// being unknown): no shortcut carries one, a menu only that one. Texts filled by "%" hold one, no
// other text any (the status templates are checked as a library loads); the file filter is two
// pairs of a description and a pattern, each part ending in a NUL, within its 128 units.
TEST(LanguageResources, EveryLibraryHasTheSameResourcesWithKnownCommandsAndPlaceholders) {
    const std::wstring folder = FolderFromEnvironment(L"TARNWICK_LANGUAGES");
    const HMODULE english = LoadResources(folder + L"English.dll");
    ASSERT_NE(english, nullptr);
    const HMENU englishMenu = LoadMenuW(english, MAKEINTRESOURCEW(IDR_MAIN_MENU));
    std::vector<UINT> englishCommands;
    const std::wstring englishShape = Shape(englishMenu, englishCommands);
    DestroyMenu(englishMenu);
    const std::vector<Shortcut> englishShortcuts = Shortcuts(english);
    ASSERT_FALSE(englishShortcuts.empty());
    const std::set<UINT> percentFills = {
        IDS_ASK_SAVE_CHANGES, IDS_FILE_NOT_FOUND,      IDS_REPLACE_ALL_COUNT,
        IDS_STATUS_LINES,     IDS_LANGUAGE_NOT_LOADED, IDS_TEXT_KEPT_IN,
        IDS_RESTORE_QUESTION, IDS_CHANGED_ON_DISK,     IDS_SAVE_OVER_CHANGES};
    const std::pair<const wchar_t*, const wchar_t*> libraries[] = {
        {L"English.dll", L"English"},
        {L"Czech.dll", L"\u010Ce\u0161tina"},
        {L"Slovak.dll", L"Sloven\u010Dina"}};
    for (const auto& [name, language] : libraries) {
        SCOPED_TRACE(Utf8(name));
        const HMODULE library = LoadResources(folder + name);
        ASSERT_NE(library, nullptr);
        EXPECT_EQ(ResourceString(library, IDS_LANGUAGE_NAME), language);
        const HMENU menu = LoadMenuW(library, MAKEINTRESOURCEW(IDR_MAIN_MENU));
        std::vector<UINT> commands;
        EXPECT_EQ(Shape(menu, commands), englishShape);
        DestroyMenu(menu);
        for (UINT id : commands) {
            EXPECT_TRUE(KnownCommand(id) || id == IDM_FILE_EXIT) << "the unknown command " << id;
        }
        EXPECT_EQ(std::set<UINT>(commands.begin(), commands.end()).size(), commands.size())
            << "a command carried twice";

        const std::vector<Shortcut> shortcuts = Shortcuts(library);
        EXPECT_EQ(shortcuts, englishShortcuts);
        for (const Shortcut& shortcut : shortcuts) {
            EXPECT_TRUE(KnownCommand(shortcut[2])) << "unknown shortcut command " << shortcut[2];
        }
        for (UINT dialog : {IDD_ABOUT, IDD_GOTO_LINE}) {
            EXPECT_EQ(DialogControlIds(library, dialog), DialogControlIds(english, dialog));
        }

        for (UINT id = IDS_FIRST; id <= IDS_LAST; ++id) {
            SCOPED_TRACE("string " + std::to_string(id));
            const std::wstring text = ResourceString(library, id);
            ASSERT_FALSE(text.empty());
            if (id == IDS_FILE_FILTER) {
                EXPECT_LT(text.size(), 127u);
                ASSERT_EQ(std::ranges::count(text, L'\0'), 4);
                EXPECT_EQ(text.substr(text.find(L'\0'), 7), L"\0*.txt\0"s);
                EXPECT_TRUE(text.ends_with(L"\0*.*\0"s));
            } else if (id != IDS_STATUS_POSITION && id != IDS_STATUS_CHARACTER) {
                EXPECT_EQ(std::ranges::count(text, L'%'), percentFills.contains(id) ? 1 : 0);
            }
        }
        FreeLibrary(library);
    }
    FreeLibrary(english);
}

// Strings from 25 on are optional: the program's own English stands in for them.
TEST(LanguageLibraryLoad, RefusesWhatIsNoCompleteLibraryButTakesOneWithoutTheLaterStrings) {
    const std::wstring testData = FolderFromEnvironment(L"TARNWICK_TEST_DATA");
    EXPECT_EQ(LoadLanguageLibraryFrom(L""), nullptr) << "a path without the program's folder";
    EXPECT_EQ(LoadLanguageLibraryFrom((testData + L"NoMenu.dll").c_str()), nullptr)
        << "a library without the main menu";
    EXPECT_EQ(LoadLanguageLibraryFrom((testData + L"BadTemplate.dll").c_str()), nullptr)
        << "its position text would read an integer from a text";
    LanguageLibrary = LoadLanguageLibraryFrom((testData + L"Minimal.dll").c_str());
    ASSERT_NE(LanguageLibrary, nullptr);
    wchar_t text[512];
    LoadLanguageString(IDS_ANSI_CHANGES_CHARACTERS, text);
    EXPECT_STREQ(text, OwnLanguageText(IDS_ANSI_CHANGES_CHARACTERS));
    EXPECT_NE(text[0], L'\0');
    FreeLibrary(LanguageLibrary);
    LanguageLibrary = nullptr;
}

} // namespace
