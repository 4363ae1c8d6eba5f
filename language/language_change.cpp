// The change of language at run time: all or nothing. The new library and its menu are taken
// and checked first; only then do they replace the old ones, so a library that cannot serve
// leaves the program exactly as it was.
#include "app/main_window.h"
#include "app/path_rules.h"
#include "app/settings.h"
#include "app/startup.h"
#include "document/recent_files.h"
#include "language/language_library.h"
#include "language/language_menus.h"
#include "language/library_table.h"
#include "language/percent_template.h"
#include "language/resource_ids.h"
#include "view/status_bar.h"

namespace {

// Beyond the three libraries the program knows: the next start loads English.
constexpr std::int32_t kOtherLanguage = kLanguageSlovak + 1;

struct NewLanguage {
    wchar_t fileName[MAX_PATH] = L"";
    wchar_t path[MAX_PATH] = L"";
    HMODULE library = nullptr;
    HMENU menu = nullptr;
};

// The entry's text is its library's file name without ".dll".
bool TakeEntryFileName(UINT command, NewLanguage& language) {
    wchar_t name[MAX_PATH];
    const int length = GetMenuStringW(LanguageSubmenu, command, name, MAX_PATH - 4, MF_BYCOMMAND);
    if (length <= 0) {
        return false;
    }
    lstrcatW(name, L".dll");
    lstrcpyW(language.fileName, name);
    wchar_t folder[MAX_PATH];
    MakeExeRelativePath(AsWide(kLanguagesFolderName), folder);
    return ComposePath(AsUnitBuffer(language.path), AsUnits(folder), AsUnits(name));
}

// The library must hold what the program takes from it, and its menu the item before which
// the language submenu goes.
bool LoadNewLanguage(NewLanguage& language) {
    language.library = LoadLanguageLibraryFrom(language.path);
    if (language.library == nullptr) {
        return false;
    }
    language.menu = LoadMenuW(language.library, MAKEINTRESOURCEW(IDR_MAIN_MENU));
    return language.menu != nullptr && GetMenuState(language.menu, IDM_OPTIONS_BACKGROUND_COLOR,
                                                    MF_BYCOMMAND) != static_cast<UINT>(-1);
}

void DropNewLanguage(NewLanguage& language) {
    if (language.menu != nullptr) {
        DestroyMenu(language.menu);
    }
    if (language.library != nullptr) {
        FreeLibrary(language.library);
    }
}

std::int32_t LanguageIdOf(const wchar_t* fileName) {
    for (std::int32_t id : {kLanguageCzech, kLanguageEnglish, kLanguageSlovak}) {
        if (lstrcmpiW(fileName, AsWide(LanguageLibraryFileName(id))) == 0) {
            return id;
        }
    }
    return kOtherLanguage;
}

void ReportLanguageNotLoaded(const wchar_t* fileName) {
    wchar_t pattern[256];
    wchar_t caption[256];
    LoadLanguageString(IDS_LANGUAGE_NOT_LOADED, pattern);
    LoadLanguageString(IDS_ERROR_CAPTION, caption);
    wchar_t text[256 + MAX_PATH];
    FillPercentTemplate(AsUnits(pattern), AsUnits(fileName), AsUnitBuffer(text));
    MessageBoxW(MainWindow, text, caption, MB_ICONERROR);
}

void Commit(NewLanguage& language) {
    WriteSetting(IntKey::Language, LanguageIdOf(language.fileName));
    lstrcpyW(LanguagePath, language.path);
    lstrcpyW(LanguageFileName, language.fileName);
    FreeLibrary(LanguageLibrary);
    LanguageLibrary = language.library;

    HMENU old = GetMenu(MainWindow);
    SetMenu(MainWindow, language.menu);
    DestroyMenu(old);
    BuildRecentFileItems(language.menu);
    BuildProgramMenus();
    ShowCheckMarks(language.menu);
    DrawMenuBar(MainWindow);
    RerenderStatusTexts();
}

} // namespace

void ChangeLanguage(UINT command) {
    NewLanguage language;
    if (!TakeEntryFileName(command, language)) {
        return;
    }
    if (!LoadNewLanguage(language)) {
        DropNewLanguage(language);
        ReportLanguageNotLoaded(language.fileName);
        return;
    }
    Commit(language);
}
