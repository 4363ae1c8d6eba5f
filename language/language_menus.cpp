#include "language/language_menus.h"

#include "app/main_window.h"
#include "app/settings.h"
#include "app/startup.h"
#include "document/file_io.h"
#include "document/recent_files.h"
#include "language/language_library.h"
#include "language/library_table.h"
#include "language/message_box.h"
#include "language/resource_ids.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"

#include <shellapi.h>

HMENU TrayMenu;
HMENU LanguageSubmenu;

namespace {

int LanguageEntryCount;

void AppendStringItem(HMENU menu, UINT command, UINT textId) {
    wchar_t text[256];
    LoadLanguageString(textId, text);
    AppendMenuW(menu, MF_STRING, command, text);
}

// One entry per library in Languages\, in the order the folder lists them, the one in use
// checked; an entry's text is its file name without ".dll".
void FillLanguageSubmenu() {
    for (; LanguageEntryCount > 0; --LanguageEntryCount) {
        RemoveMenu(LanguageSubmenu, 0, MF_BYPOSITION);
    }
    wchar_t pattern[MAX_PATH];
    MakeExeRelativePath(L"Languages\\*.dll", pattern);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const int length = lstrlenW(found.cFileName);
        if (length <= 4 || IDM_LANGUAGE_FIRST + LanguageEntryCount > IDM_LANGUAGE_LAST) {
            continue;
        }
        const bool current = lstrcmpiW(found.cFileName, LanguageFileName) == 0;
        found.cFileName[length - 4] = L'\0';
        AppendMenuW(LanguageSubmenu, MF_STRING | (current ? MF_CHECKED : MF_UNCHECKED),
                    IDM_LANGUAGE_FIRST + LanguageEntryCount, found.cFileName);
        ++LanguageEntryCount;
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

} // namespace

void BuildProgramMenus() {
    if (TrayMenu != nullptr) {
        DestroyMenu(TrayMenu);
    }
    TrayMenu = CreatePopupMenu();
    AppendStringItem(TrayMenu, IDM_TRAY_RESTORE, IDS_TRAY_RESTORE);
    AppendStringItem(TrayMenu, IDM_TRAY_EXIT, IDS_TRAY_EXIT);

    LanguageSubmenu = CreatePopupMenu();
    LanguageEntryCount = 0;
    wchar_t title[256];
    LoadLanguageString(IDS_LANGUAGE_MENU, title);
    InsertMenuW(GetMenu(MainWindow), IDM_OPTIONS_BACKGROUND_COLOR, MF_BYCOMMAND | MF_POPUP,
                reinterpret_cast<UINT_PTR>(LanguageSubmenu), title);
}

// An accelerator also opens its item's popup this way before the system checks whether the
// item is grayed: the Edit and Search items are brought up to date for both, or a key would
// stay dead after its menu was last opened on an empty document.
void OnInitMenuPopup(HMENU popup, UINT position) {
    if (popup == LanguageSubmenu) {
        FillLanguageSubmenu();
        return;
    }
    switch (position) {
    case 0:
        EnableMenuItem(GetMenu(MainWindow), IDM_FILE_SAVE,
                       MF_BYCOMMAND | (EditGetModify(EditControl) ? MF_ENABLED : MF_GRAYED));
        break;
    case 1:
    case 2:
        UpdateEditMenu(GetMenu(MainWindow));
        break;
    case 5:
        EnableClearRecentFiles(GetMenu(MainWindow));
        break;
    default:
        break;
    }
}

// A help file the shell cannot open is reported as a missing document is.
void ShowHelp() {
    const std::int32_t language = Setting(IntKey::Language);
    const wchar_t* name =
        language == kLanguageSlovak || language == kLanguageCzech ? L"Slovak.chm" : L"English.chm";
    wchar_t path[MAX_PATH];
    lstrcpynW(path, HelpFolder, MAX_PATH);
    if (lstrlenW(path) + lstrlenW(name) < MAX_PATH) {
        lstrcatW(path, name);
    }
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, nullptr, path, nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32) {
        return;
    }
    ShowFileNotFound(path);
}
