// Which language library file belongs to a language id.
#ifndef TARNWICK_LANGUAGE_LIBRARY_TABLE_H
#define TARNWICK_LANGUAGE_LIBRARY_TABLE_H

#include "app/text_units.h"

#include <cstdint>

inline constexpr std::int32_t kLanguageCzech = 10000;
inline constexpr std::int32_t kLanguageEnglish = 10001;
inline constexpr std::int32_t kLanguageSlovak = 10002;

inline constexpr UnitView kLanguagesFolderName = u"Languages\\";
inline constexpr UnitView kEnglishLibraryName = u"English.dll";

// "Czech.dll" for 10000, "Slovak.dll" for 10002, "English.dll" for every other value.
UnitView LanguageLibraryFileName(std::int32_t language);

#endif
