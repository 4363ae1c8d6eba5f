// The language library in use: every menu, accelerator, dialog and string of the program
// is loaded from it.
#ifndef TARNWICK_LANGUAGE_LANGUAGE_LIBRARY_H
#define TARNWICK_LANGUAGE_LANGUAGE_LIBRARY_H

#include <windows.h>

#include <cstddef>

extern HMODULE LanguageLibrary;
extern wchar_t LanguagePath[MAX_PATH];
// The bare file name of the library in use ("English.dll"), compared with the files found in
// Languages\ to check the entry of the language menu.
extern wchar_t LanguageFileName[MAX_PATH];

// Builds LanguagePath from the Language setting, records the file name and loads the
// library. Returns the handle, or null when the library cannot be loaded or lacks any of
// the resources the program takes from it.
HMODULE LoadLanguageLibrary();

// Loads the library at LanguagePath as resources only: no code of a file in Languages\ ever
// runs. Null when it cannot be loaded or is incomplete.
HMODULE LoadLanguageLibraryAtPath();
// The same for the library at this path.
HMODULE LoadLanguageLibraryFrom(const wchar_t* path);

// True when the library holds menu 128 and strings 1 to 24, and the templates that go to
// wsprintfW (12 and 15) take exactly the arguments the program passes.
bool HasRequiredResources(HMODULE library);

// The program's own English text of an optional string (25 and later), or an empty text.
const wchar_t* OwnLanguageText(UINT id);

// A string of the library in use, cut to the buffer; the program's own text for an optional
// string the library lacks, else empty.
template <std::size_t N> void LoadLanguageString(UINT id, wchar_t (&buffer)[N]) {
    if (LoadStringW(LanguageLibrary, id, buffer, static_cast<int>(N)) <= 0) {
        lstrcpynW(buffer, OwnLanguageText(id), static_cast<int>(N));
    }
}

#endif
