// Choosing and loading a language library from the Languages folder.
#include "app/settings.h"
#include "app/startup.h"
#include "language/language_library.h"
#include "language/resource_ids.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

namespace {

class LanguageLibraryLoad : public testing::Test {
  protected:
    void SetUp() override {
        lstrcpynW(ExeFolder, folder.Path().c_str(), MAX_PATH);
        CreateDirectoryW((folder / L"Languages").c_str(), nullptr);
        SettingValues = DefaultIntegerSettings();
    }
    void TearDown() override {
        Free();
        ExeFolder[0] = L'\0';
    }

    void Install(const std::wstring& from, const std::wstring& as) {
        ASSERT_TRUE(CopyFileW(from.c_str(), (folder / L"Languages\\" + as).c_str(), FALSE))
            << "cannot copy " << Utf8(from);
    }
    HMODULE Load(std::int32_t language) {
        Free();
        SetSetting(IntKey::Language, language);
        LanguageLibrary = LoadLanguageLibrary();
        return LanguageLibrary;
    }
    void Free() {
        if (LanguageLibrary != nullptr) {
            FreeLibrary(LanguageLibrary);
            LanguageLibrary = nullptr;
        }
    }

    TempFolder folder;
    const std::wstring languages = FolderFromEnvironment(L"TARNWICK_LANGUAGES");
    const std::wstring testData = FolderFromEnvironment(L"TARNWICK_TEST_DATA");
};

// Slovak is chosen each time; English beside it is not taken instead.
TEST_F(LanguageLibraryLoad, RefusesWhatIsNoCompleteLibraryButTakesOneWithoutTheLaterStrings) {
    Install(languages + L"English.dll", L"English.dll");
    EXPECT_EQ(Load(10002), nullptr) << "a missing library";
    EXPECT_STREQ(LanguageFileName, L"Slovak.dll");
    const std::pair<const wchar_t*, const char*> libraries[] = {
        {L"NoMenu.dll", "a library without the main menu"},
        {L"BadTemplate.dll", "its position text would read an integer from a text"}};
    for (const auto& [file, reason] : libraries) {
        Install(testData + file, L"Slovak.dll");
        EXPECT_EQ(Load(10002), nullptr) << reason;
    }
    // Strings from 25 on are optional: the program's own English stands in for them.
    Install(testData + L"Minimal.dll", L"Slovak.dll");
    ASSERT_NE(Load(10002), nullptr);
    wchar_t text[512];
    LoadLanguageString(IDS_ANSI_CHANGES_CHARACTERS, text);
    EXPECT_STREQ(text, OwnLanguageText(IDS_ANSI_CHANGES_CHARACTERS));
    EXPECT_NE(text[0], L'\0');
}

// Without the program's folder the path would be relative.
TEST_F(LanguageLibraryLoad, RefusesAPathWithoutTheProgramsFolder) {
    ExeFolder[0] = L'\0';
    EXPECT_EQ(Load(10002), nullptr);
    EXPECT_STREQ(LanguagePath, L"");
}

} // namespace
