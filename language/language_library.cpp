#include "language/language_library.h"

#include "app/path_rules.h"
#include "app/settings.h"
#include "app/startup.h"
#include "language/library_table.h"
#include "language/resource_ids.h"

HMODULE LanguageLibrary;
wchar_t LanguagePath[MAX_PATH];
wchar_t LanguageFileName[MAX_PATH];

bool HasRequiredResources(HMODULE library) {
    if (FindResourceW(library, MAKEINTRESOURCEW(IDR_MAIN_MENU), RT_MENU) == nullptr) {
        return false;
    }
    for (UINT id = IDS_FIRST; id <= IDS_LAST; ++id) {
        const wchar_t* text = nullptr;
        if (LoadStringW(library, id, reinterpret_cast<wchar_t*>(&text), 0) <= 0) {
            return false;
        }
    }
    return true;
}

HMODULE LoadLanguageLibraryAtPath() {
    if (LanguagePath[0] == L'\0') {
        SetLastError(ERROR_BAD_PATHNAME);
        return nullptr;
    }
    HMODULE library = LoadLibraryExW(LanguagePath, nullptr,
                                     LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
    if (library != nullptr && !HasRequiredResources(library)) {
        FreeLibrary(library);
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    return library;
}

HMODULE LoadLanguageLibrary() {
    const UnitView fileName = LanguageLibraryFileName(Setting(IntKey::Language));
    wchar_t folder[MAX_PATH];
    MakeExeRelativePath(AsWide(kLanguagesFolderName), folder);
    (void)ComposePath(AsUnitBuffer(LanguagePath), AsUnits(folder), fileName);
    (void)CopyTerminated(AsUnitBuffer(LanguageFileName), fileName);
    return LoadLanguageLibraryAtPath();
}
