#include "language/language_library.h"

#include "app/path_rules.h"
#include "app/settings.h"
#include "app/startup.h"
#include "app/text_units.h"
#include "language/format_template.h"
#include "language/library_table.h"
#include "language/resource_ids.h"

HMODULE LanguageLibrary;
wchar_t LanguagePath[MAX_PATH];
wchar_t LanguageFileName[MAX_PATH];

namespace {

// Texts of strings newer than some libraries, shown when the library in use lacks them.
struct OwnText {
    UINT id;
    const wchar_t* text;
};
constexpr OwnText kOwnTexts[] = {
    {IDS_TEXT_STOPS_AT_NUL,
     L"The file contains a NUL character. Tarnwick shows the text up to it only; saving the "
     L"file would remove everything after it."},
    {IDS_ANSI_CHANGES_CHARACTERS,
     L"Some characters of this text cannot be saved in ANSI and would be replaced by similar "
     L"characters or question marks.\n\nYes: save in ANSI anyway.\nNo: save in UTF-16 LE, "
     L"which keeps every character.\nCancel: do not save."},
    {IDS_LANGUAGE_NOT_LOADED,
     L"The language library % cannot be loaded or is incomplete. The program keeps its "
     L"current language."},
    {IDS_PRINT_FAILED, L"The document could not be printed."},
    {IDS_ANSI_BYTES_REPLACED,
     L"The file contains bytes that the ANSI code page cannot show. They are shown replaced, "
     L"and saving the file would change them."},
    {IDS_TEXT_KEPT_IN, L"The file could not be written. A copy of its text is kept in %."},
    {IDS_RESTORE_QUESTION,
     L"Tarnwick ended without saving the changes to %. Do you want to restore them?"},
    {IDS_CHANGED_ON_DISK,
     L"% was changed by another program. Do you want to load it again? Changes made here that "
     L"are not saved would be lost."},
    {IDS_SAVE_OVER_CHANGES,
     L"% was changed by another program since it was opened here. Do you want to save over "
     L"those changes? Yes: save over them. No: save under another name. Cancel: do not save."},
};

// The template as the status bar loads it (cut to 256 units) takes these arguments.
bool TemplateFits(HMODULE library, UINT id, std::initializer_list<Conversion> arguments) {
    wchar_t pattern[256];
    return LoadStringW(library, id, pattern, ARRAYSIZE(pattern)) > 0 &&
           TemplateTakes(AsUnits(pattern), arguments);
}

} // namespace

const wchar_t* OwnLanguageText(UINT id) {
    for (const OwnText& own : kOwnTexts) {
        if (own.id == id) {
            return own.text;
        }
    }
    return L"";
}

bool HasRequiredResources(HMODULE library) {
    if (FindResourceW(library, MAKEINTRESOURCEW(IDR_MAIN_MENU), RT_MENU) == nullptr) {
        return false;
    }
    for (UINT id = IDS_FIRST; id <= IDS_REQUIRED_LAST; ++id) {
        const wchar_t* text = nullptr;
        if (LoadStringW(library, id, reinterpret_cast<wchar_t*>(&text), 0) <= 0) {
            return false;
        }
    }
    return TemplateFits(library, IDS_STATUS_POSITION,
                        {Conversion::Text, Conversion::Text, Conversion::Text}) &&
           TemplateFits(library, IDS_STATUS_CHARACTER, {Conversion::Integer, Conversion::Integer});
}

HMODULE LoadLanguageLibraryAtPath() {
    return LoadLanguageLibraryFrom(LanguagePath);
}

HMODULE LoadLanguageLibraryFrom(const wchar_t* path) {
    if (path[0] == L'\0') {
        SetLastError(ERROR_BAD_PATHNAME);
        return nullptr;
    }
    HMODULE library =
        LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
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
