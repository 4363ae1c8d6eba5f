// Which files are taken as a language library.
#include "language/language_library.h"
#include "language/resource_ids.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

namespace {

// Strings from 25 on are optional: the program's own English stands in for them.
TEST(LanguageLibraryLoad, RefusesWhatIsNoCompleteLibraryButTakesOneWithoutTheLaterStrings) {
    const std::wstring testData = FolderFromEnvironment(L"TARNWICK_TEST_DATA");
    EXPECT_EQ(LoadLanguageLibraryFrom(L""), nullptr) << "a path without the program's folder";
    const std::pair<const wchar_t*, const char*> refused[] = {
        {L"Missing.dll", "a missing library"},
        {L"NoMenu.dll", "a library without the main menu"},
        {L"BadTemplate.dll", "its position text would read an integer from a text"}};
    for (const auto& [file, reason] : refused) {
        EXPECT_EQ(LoadLanguageLibraryFrom((testData + file).c_str()), nullptr) << reason;
    }
    LanguageLibrary = LoadLanguageLibraryFrom((testData + L"Minimal.dll").c_str());
    ASSERT_NE(LanguageLibrary, nullptr);
    wchar_t text[512];
    LoadLanguageString(IDS_ANSI_CHANGES_CHARACTERS, text);
    EXPECT_STREQ(text, OwnLanguageText(IDS_ANSI_CHANGES_CHARACTERS));
    EXPECT_NE(text[0], L'\0');
    FreeLibrary(LanguageLibrary);
    LanguageLibrary = nullptr;
}

} // namespace
