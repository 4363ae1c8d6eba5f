// The settings store: the section "Tarnwick" of Tarnwick.ini and its copy in memory.
// Other parts read the values directly and change them only through the functions here.
#ifndef TARNWICK_APP_SETTINGS_H
#define TARNWICK_APP_SETTINGS_H

#include "app/settings_table.h"

#include <windows.h>

extern IntegerSettings SettingValues;
extern wchar_t FontName[32];
extern wchar_t FindString[130];
extern wchar_t ReplaceString[130];
extern wchar_t RecentPaths[kRecentCount][MAX_PATH];

inline std::int32_t Setting(IntKey key) {
    return SettingValues[IndexOf(key)];
}

// Changes the value in memory only; it reaches the file with the next write of its key.
void SetSetting(IntKey key, std::int32_t value);
// Changes the value and writes its key at once.
void WriteSetting(IntKey key, std::int32_t value);
// Writes count consecutive keys of the table from the first one, from their current values.
void WriteIntegerKeys(IntKey first, int count);
// Writes a text key; line breaks in the value are written as blanks.
void WriteStringSetting(const wchar_t* key, const wchar_t* value);

void SettingsLoad();
void SettingsCheckRanges();
void SettingsSaveAtExit();
// The position and size last recorded by any running copy become x, y, Width and Height.
void PlacementFromShared();

#endif
