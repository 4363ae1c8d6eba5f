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

// True when the library holds menu 128 and every string the program shows.
bool HasRequiredResources(HMODULE library);

// A string of the library in use, cut to the buffer; empty when the library lacks it.
template <std::size_t N> void LoadLanguageString(UINT id, wchar_t (&buffer)[N]) {
    if (LoadStringW(LanguageLibrary, id, buffer, static_cast<int>(N)) <= 0) {
        buffer[0] = L'\0';
    }
}

#endif
