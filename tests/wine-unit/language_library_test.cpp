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
        if (LanguageLibrary != nullptr) {
            FreeLibrary(LanguageLibrary);
            LanguageLibrary = nullptr;
        }
        ExeFolder[0] = L'\0';
    }

    void Install(const std::wstring& from, const std::wstring& as) {
        ASSERT_TRUE(CopyFileW(from.c_str(), (folder / L"Languages\\" + as).c_str(), FALSE))
            << "cannot copy " << Utf8(from);
    }
    void InstallThree() {
        for (const wchar_t* name : {L"English.dll", L"Czech.dll", L"Slovak.dll"}) {
            Install(languages + name, name);
        }
    }
    HMODULE Load(std::int32_t language) {
        SetSetting(IntKey::Language, language);
        LanguageLibrary = LoadLanguageLibrary();
        return LanguageLibrary;
    }
    std::wstring String(UINT id) const {
        const wchar_t* text = nullptr;
        const int length = LoadStringW(LanguageLibrary, id, reinterpret_cast<wchar_t*>(&text), 0);
        return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : L"";
    }

    TempFolder folder;
    const std::wstring languages = FolderFromEnvironment(L"TARNWICK_LANGUAGES");
    const std::wstring testData = FolderFromEnvironment(L"TARNWICK_TEST_DATA");
};

TEST_F(LanguageLibraryLoad, TakesTheLibraryOfTheLanguageSetting) {
    InstallThree();
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
        EXPECT_EQ(String(IDS_LANGUAGE_ENGLISH_NAME), c.englishName);
        FreeLibrary(LanguageLibrary);
        LanguageLibrary = nullptr;
    }
}

TEST_F(LanguageLibraryLoad, FailsForAMissingLibrary) {
    Install(languages + L"English.dll", L"English.dll");
    EXPECT_EQ(Load(10002), nullptr);
    EXPECT_STREQ(LanguageFileName, L"Slovak.dll");
}

TEST_F(LanguageLibraryLoad, RefusesAFileThatIsNoLibrary) {
    WriteBytes(folder / L"Languages\\Slovak.dll", "MZ this is not a library");
    EXPECT_EQ(Load(10002), nullptr);
    WriteBytes(folder / L"Languages\\Czech.dll", "");
    EXPECT_EQ(Load(10000), nullptr);
}

TEST_F(LanguageLibraryLoad, RefusesALibraryWithoutTheMainMenu) {
    Install(testData + L"NoMenu.dll", L"Slovak.dll");
    EXPECT_EQ(Load(10002), nullptr);
}

TEST_F(LanguageLibraryLoad, TakesALibraryWithoutTheLaterStringsAndRefusesABadTemplate) {
    Install(testData + L"Minimal.dll", L"Slovak.dll");
    ASSERT_NE(Load(10002), nullptr) << "strings from 25 on are optional";
    wchar_t text[512];
    LoadLanguageString(IDS_ANSI_CHANGES_CHARACTERS, text);
    EXPECT_STREQ(text, OwnLanguageText(IDS_ANSI_CHANGES_CHARACTERS));
    EXPECT_NE(text[0], L'\0');
    FreeLibrary(LanguageLibrary);
    LanguageLibrary = nullptr;

    Install(testData + L"BadTemplate.dll", L"Slovak.dll");
    EXPECT_EQ(Load(10002), nullptr) << "its position text would read an integer from a text";
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

TEST_F(LanguageLibraryLoad, RefusesAPathThatWouldNotFit) {
    const std::wstring deep = L"C:\\" + std::wstring(240, L'd') + L"\\";
    lstrcpynW(ExeFolder, deep.c_str(), MAX_PATH);
    EXPECT_EQ(Load(10002), nullptr);
    EXPECT_STREQ(LanguagePath, L"") << "a cut path could name another file";
}

TEST_F(LanguageLibraryLoad, RefusesAnUnknownProgramFolder) {
    ExeFolder[0] = L'\0';
    EXPECT_EQ(Load(10001), nullptr);
    EXPECT_STREQ(LanguagePath, L"");
}

} // namespace
