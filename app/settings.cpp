#include "app/settings.h"

#include "app/shared_placement.h"
#include "app/startup.h"

constinit IntegerSettings SettingValues = DefaultIntegerSettings();
wchar_t FontName[32];
wchar_t FindString[130];
wchar_t ReplaceString[130];
wchar_t RecentPaths[kRecentCount][MAX_PATH];

namespace {

const wchar_t* const kSection = AsWide(kSettingsSection);

bool HaveIniPath() {
    return IniPath[0] != L'\0';
}

// A new settings file starts as UTF-16 LE with its byte-order mark: the profile functions
// then keep every character of paths and search texts. An existing file, ANSI or not, is
// left as it is.
void CreateUnicodeIniIfMissing() {
    HANDLE file =
        CreateFileW(IniPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    static constexpr BYTE kByteOrderMark[2] = {0xFF, 0xFE};
    DWORD written = 0;
    if (!WriteFile(file, kByteOrderMark, sizeof kByteOrderMark, &written, nullptr) ||
        written != sizeof kByteOrderMark) {
        CloseHandle(file);
        DeleteFileW(IniPath);
        return;
    }
    CloseHandle(file);
}

void WriteProfileText(const wchar_t* key, const wchar_t* text) {
    if (!HaveIniPath()) {
        return;
    }
    CreateUnicodeIniIfMissing();
    WritePrivateProfileStringW(kSection, key, text, IniPath);
}

void WriteIntegerKey(std::size_t index) {
    wchar_t digits[kUnsignedDecimalCapacity];
    FormatUnsignedDecimal(static_cast<std::uint32_t>(SettingValues[index]),
                          std::span<Unit, kUnsignedDecimalCapacity>(reinterpret_cast<Unit*>(digits),
                                                                    kUnsignedDecimalCapacity));
    WriteProfileText(AsWide(kIntegerSettings[index].key), digits);
}

template <std::size_t N>
void ReadStringKey(const wchar_t* key, const wchar_t* defaultValue, wchar_t (&buffer)[N]) {
    if (!HaveIniPath()) {
        lstrcpynW(buffer, defaultValue, N);
        return;
    }
    GetPrivateProfileStringW(kSection, key, defaultValue, buffer, N, IniPath);
}

template <std::size_t N>
void ReadStringKey(const StringSettingDefinition& setting, wchar_t (&buffer)[N]) {
    static_assert(N > 1);
    ReadStringKey(AsWide(setting.key), AsWide(setting.defaultValue), buffer);
}

std::int32_t ReadIntegerKey(const IntegerSettingDefinition& setting) {
    wchar_t text[32];
    ReadStringKey(AsWide(setting.key), L"", text);
    const std::int32_t value = ParseProfileInteger(AsUnits(text));
    return value == kProfileIntAbsent ? setting.defaultValue : value;
}

void ReadRecentPaths() {
    for (std::size_t i = 0; i < static_cast<std::size_t>(Setting(IntKey::MruCount)); ++i) {
        const auto key = RecentKey(i);
        ReadStringKey(reinterpret_cast<const wchar_t*>(key.data()), AsWide(kRecentDefault),
                      RecentPaths[i]);
    }
}

} // namespace

void SetSetting(IntKey key, std::int32_t value) {
    SettingValues[IndexOf(key)] = value;
}

void WriteSetting(IntKey key, std::int32_t value) {
    SetSetting(key, value);
    WriteIntegerKey(IndexOf(key));
}

void WriteIntegerKeys(IntKey first, int count) {
    for (std::size_t index = IndexOf(first);
         index < IndexOf(first) + static_cast<std::size_t>(count) && index < kIntegerSettingCount;
         ++index) {
        WriteIntegerKey(index);
    }
}

void WriteStringSetting(const wchar_t* key, const wchar_t* value) {
    // No string setting holds more than a path.
    wchar_t safe[MAX_PATH];
    MakeProfileValue(AsUnits(value), AsUnitBuffer(safe));
    WriteProfileText(key, safe);
}

void SettingsLoad() {
    for (std::size_t index = 0; index < kIntegerSettingCount; ++index) {
        SettingValues[index] = ReadIntegerKey(kIntegerSettings[index]);
    }
    ReadStringKey(kNameSetting, FontName);
    ReadStringKey(kFindStringSetting, FindString);
    ReadStringKey(kReplaceStringSetting, ReplaceString);
    SettingsCheckRanges();
    ReadRecentPaths();
}

void SettingsCheckRanges() {
    CheckRanges(SettingValues, ScreenWidth, ScreenHeight);
}

void PlacementFromShared() {
    if (SharedPlacement == nullptr) {
        return;
    }
    SetSetting(IntKey::x, SharedPlacement->x);
    SetSetting(IntKey::y, SharedPlacement->y);
    SetSetting(IntKey::Width, SharedPlacement->width);
    SetSetting(IntKey::Height, SharedPlacement->height);
}

void SettingsSaveAtExit() {
    PlacementFromShared();
    WriteIntegerKeys(kExitKeysFirst, kExitKeyCount);
    WriteStringSetting(AsWide(kFindStringSetting.key), FindString);
    WriteStringSetting(AsWide(kReplaceStringSetting.key), ReplaceString);
}
