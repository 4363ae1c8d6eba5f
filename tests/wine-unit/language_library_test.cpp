// Choosing and loading a language library from the Languages folder.
#include "app/settings.h"
#include "app/startup.h"
#include "language/language_library.h"
#include "language/resource_ids.h"
#include "tests/support/files.h"
#include "tests/wine-unit/edit_window.h"

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

TEST_F(LanguageLibraryLoad, TakesTheLibraryOfTheLanguageSetting) {
    for (const wchar_t* name : {L"English.dll", L"Czech.dll", L"Slovak.dll"}) {
        Install(languages + name, name);
    }
    const struct {
        std::int32_t language;
        const wchar_t* file;
        const wchar_t* englishName;
    } cases[] = {{10000, L"Czech.dll", L"Czech"},
                 {10001, L"English.dll", L"English"},
                 {10002, L"Slovak.dll", L"Slovak"},
                 {10003, L"English.dll", L"English"}};
    for (const auto& c : cases) {
        ASSERT_NE(Load(c.language), nullptr) << c.language;
        EXPECT_STREQ(LanguageFileName, c.file) << "the bare file name, without its folder";
        EXPECT_EQ(std::wstring(LanguagePath), folder / L"Languages\\" + c.file);
        EXPECT_EQ(LanguageString(IDS_LANGUAGE_ENGLISH_NAME), c.englishName);
    }
}

TEST_F(LanguageLibraryLoad, RefusesWhatIsNoCompleteLibrary) {
    // Slovak is chosen each time; English beside it is not taken instead.
    Install(languages + L"English.dll", L"English.dll");
    EXPECT_EQ(Load(10002), nullptr) << "a missing library";
    EXPECT_STREQ(LanguageFileName, L"Slovak.dll");
    for (const char* bytes : {"MZ this is not a library", ""}) {
        WriteBytes(folder / L"Languages\\Slovak.dll", bytes);
        EXPECT_EQ(Load(10002), nullptr) << "a file holding \"" << bytes << "\"";
    }
    Install(testData + L"NoMenu.dll", L"Slovak.dll");
    EXPECT_EQ(Load(10002), nullptr) << "a library without the main menu";
    Install(testData + L"BadTemplate.dll", L"Slovak.dll");
    EXPECT_EQ(Load(10002), nullptr) << "its position text would read an integer from a text";
}

TEST_F(LanguageLibraryLoad, TakesALibraryWithoutTheLaterStrings) {
    Install(testData + L"Minimal.dll", L"Slovak.dll");
    ASSERT_NE(Load(10002), nullptr) << "strings from 25 on are optional";
    wchar_t text[512];
    LoadLanguageString(IDS_ANSI_CHANGES_CHARACTERS, text);
    EXPECT_STREQ(text, OwnLanguageText(IDS_ANSI_CHANGES_CHARACTERS));
    EXPECT_NE(text[0], L'\0');
}

TEST_F(LanguageLibraryLoad, NeverRunsCodeOfALibrary) {
    const std::wstring mark = folder / L"code-ran";
    SetEnvironmentVariableW(L"TARNWICK_CODE_MARK", mark.c_str());
    Install(testData + L"CodeLibrary.dll", L"Slovak.dll");

    ASSERT_NE(Load(10002), nullptr) << "its resources are complete";
    EXPECT_FALSE(FileExists(mark)) << "the library's entry point ran";

    // The mark does appear when the same file is loaded as a program library.
    HMODULE asCode = LoadLibraryW((folder / L"Languages\\Slovak.dll").c_str());
    ASSERT_NE(asCode, nullptr);
    FreeLibrary(asCode);
    EXPECT_TRUE(FileExists(mark));
    SetEnvironmentVariableW(L"TARNWICK_CODE_MARK", nullptr);
}

TEST_F(LanguageLibraryLoad, RefusesAPathThatWouldNotFitOrHasNoFolder) {
    // A cut path could name another file; without the program's folder the path would be
    // relative.
    for (const std::wstring& exeFolder :
         {L"C:\\" + std::wstring(240, L'd') + L"\\", std::wstring()}) {
        lstrcpynW(ExeFolder, exeFolder.c_str(), MAX_PATH);
        EXPECT_EQ(Load(10002), nullptr);
        EXPECT_STREQ(LanguagePath, L"");
    }
}

} // namespace
