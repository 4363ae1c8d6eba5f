// The settings of Tarnwick.ini described once, as data: the integer keys in their stored
// order with their defaults, the string keys with their capacities, and the rules for
// reading, writing and checking the values. The Win32 store (app/settings.h) reads it.
#ifndef TARNWICK_APP_SETTINGS_TABLE_H
#define TARNWICK_APP_SETTINGS_TABLE_H

#include "app/text_units.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// The integer settings in table order. The order matters: the font keys and the exit keys
// are written as runs of consecutive entries.
enum class IntKey : int {
    Wrap,
    Status,
    CenterVertAfterFind,
    FontHeight,
    FontWidth,
    Escapement,
    Orientation,
    Weight,
    Italic,
    Underline,
    Strikeout,
    Charset,
    OutPrecision,
    ClipPrecision,
    Quality,
    Family,
    BkgColor,
    TxtColor,
    StayOnTop,
    FindCase,
    FindDirection,
    NewFileType,
    Language,
    x,
    y,
    Width,
    Height,
    MruCount,
    Maximized,
    FullScr,
};

inline constexpr std::size_t kIntegerSettingCount = 30;

struct IntegerSettingDefinition {
    UnitView key;
    std::int32_t defaultValue;
};

inline constexpr std::array<IntegerSettingDefinition, kIntegerSettingCount> kIntegerSettings{{
    {u"Wrap", 0},
    {u"Status", 1},
    {u"CenterVertAfterFind", 0},
    {u"FontHeight", -13},
    {u"FontWidth", 0},
    {u"Escapement", 0},
    {u"Orientation", 0},
    {u"Weight", 400},
    {u"Italic", 0},
    {u"Underline", 0},
    {u"Strikeout", 0},
    {u"Charset", 1},       // DEFAULT_CHARSET
    {u"OutPrecision", 3},  // OUT_STROKE_PRECIS
    {u"ClipPrecision", 2}, // CLIP_STROKE_PRECIS
    {u"Quality", 1},       // DRAFT_QUALITY
    {u"Family", 0x31},     // FIXED_PITCH | FF_MODERN
    {u"BkgColor", 0xFFFFFF},
    {u"TxtColor", 0},
    {u"StayOnTop", 0},
    {u"FindCase", 1},
    {u"FindDirection", 1},
    {u"NewFileType", 410},
    {u"Language", 10001},
    {u"x", 120},
    {u"y", 100},
    {u"Width", 870},
    {u"Height", 534},
    {u"MruCount", 0},
    {u"Maximized", 0},
    {u"FullScr", 0},
}};

using IntegerSettings = std::array<std::int32_t, kIntegerSettingCount>;

constexpr std::size_t IndexOf(IntKey key) {
    return static_cast<std::size_t>(key);
}

constexpr IntegerSettings DefaultIntegerSettings() {
    IntegerSettings settings{};
    for (std::size_t index = 0; index < kIntegerSettingCount; ++index) {
        settings[index] = kIntegerSettings[index].defaultValue;
    }
    return settings;
}

// The run written when a font is chosen (FontHeight to Family) and the run written at exit
// (x, y, Width, Height, MruCount, Maximized, FullScr).
inline constexpr IntKey kFontKeysFirst = IntKey::FontHeight;
inline constexpr int kFontKeyCount = 13;
inline constexpr IntKey kExitKeysFirst = IntKey::x;
inline constexpr int kExitKeyCount = 7;

struct StringSettingDefinition {
    UnitView key;
    UnitView defaultValue;
    std::size_t capacity; // units, terminator included
};

inline constexpr StringSettingDefinition kNameSetting{u"Name", u"Lucida Console", 32};
inline constexpr StringSettingDefinition kFindStringSetting{u"FindString", u" ", 130};
inline constexpr StringSettingDefinition kReplaceStringSetting{u"ReplaceString", u" ", 130};
inline constexpr UnitView kRecentDefault = u" ";
inline constexpr std::size_t kRecentCount = 10;

inline constexpr UnitView kSettingsSection = u"Tarnwick";
inline constexpr UnitView kSettingsFileName = u"Tarnwick.ini";

// The key of recent-files entry 0 to 9: "MRU0" to "MRU9", terminated.
std::array<Unit, 5> RecentKey(std::size_t index);

// Read as if the key were absent: the built-in default stays.
inline constexpr std::int32_t kProfileIntAbsent = -1;

// An integer value as stored: optional blanks, an optional sign and decimal digits; the low
// 32 bits are kept as a signed value, so "4294967283" reads as -13. A value with no digits
// reads as 0; an absent (empty) value reads as kProfileIntAbsent.
std::int32_t ParseProfileInteger(UnitView text);

// The value's unsigned 32-bit form in decimal, no sign, no leading zeros ("0" for zero),
// terminated. Returns the number of digits (1 to 10).
inline constexpr std::size_t kUnsignedDecimalCapacity = 11;
std::size_t FormatUnsignedDecimal(std::uint32_t value,
                                  std::span<Unit, kUnsignedDecimalCapacity> buffer);

// The window geometry, the recent-files count and the language brought into range.
void CheckRanges(IntegerSettings& settings, std::int32_t screenWidth, std::int32_t screenHeight);

// A text as it may be written to a key: carriage returns and line feeds become blanks, so a
// value can never start a line of its own (a new key or section). Returns the number of
// units written into the destination, which must hold text.size() + 1 units.
std::size_t MakeProfileValue(UnitView text, UnitBuffer destination);

#endif
