// What a user sees when Tarnwick starts: the language library it loads or falls back from,
// and the file name on its command line.
#include "language/resource_ids.h"
#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

namespace {

const std::wstring kLibraryError = L"Language Library loading error.";
const std::wstring kDefaultLibraryError = L"Default Language Library loading error.";

// A file name the program refuses: 260 characters.
// True when a program can be started from this path at all (the attempt is ended at once).
bool CanStart(const std::wstring& exe) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"Tarnwick.exe";
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                        nullptr, nullptr, &startup, &info)) {
        return false;
    }
    TerminateProcess(info.hProcess, 0);
    WaitForSingleObject(info.hProcess, INFINITE);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

std::wstring TooLongName() {
    return L"\"" + std::wstring(256, L'n') + L".txt\"";
}

void ExpectStartupLibraryError(const MessageBoxView& box, const std::wstring& text) {
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, L"Error") << "the system's caption for a box without one";
    EXPECT_TRUE(box.hasIcon) << "a stop icon";
    EXPECT_EQ(box.buttons, std::vector<std::wstring>{L"OK"});
}

void ExpectNoLibraryAndExitCodeOne(const Program& tarnwick) {
    const MessageBoxView first = tarnwick.WaitForMessageBox();
    EXPECT_EQ(first.text, kLibraryError);
    tarnwick.Press(first, L"OK");
    const MessageBoxView second = tarnwick.WaitForMessageBox();
    EXPECT_EQ(second.text, kDefaultLibraryError);
    tarnwick.Press(second, L"OK");
    EXPECT_EQ(tarnwick.WaitForExit(), 1u);
}

TEST(StartupLanguage, AMissingChosenLibraryFallsBackToEnglishAndKeepsTheChoice) {
    Sandbox sandbox;
    sandbox.WriteIni("[Tarnwick]\r\nLanguage=10002\r\n");
    sandbox.RemoveLanguage(L"Slovak.dll");
    Program tarnwick(sandbox, TooLongName());

    const MessageBoxView first = tarnwick.WaitForMessageBox();
    ExpectStartupLibraryError(first, kLibraryError);
    tarnwick.Press(first, L"OK");

    // The next text already comes from English.dll.
    const MessageBoxView next = tarnwick.WaitForMessageBox();
    EXPECT_EQ(next.text, LibraryString(sandbox / L"Languages\\English.dll", IDS_NAME_TOO_LONG));
    tarnwick.Press(next, L"OK");

    tarnwick.CloseNormally();
    EXPECT_EQ(sandbox.IniValue(L"Language"), L"10002") << "the user's choice stays stored";
}

TEST(StartupLanguage, WithoutAnyLibraryItSaysSoTwiceAndEndsWithCodeOne) {
    Sandbox sandbox;
    sandbox.WriteIni("[Tarnwick]\r\nLanguage=10002\r\n");
    sandbox.RemoveLanguage(L"Slovak.dll");
    sandbox.RemoveLanguage(L"English.dll");
    Program tarnwick(sandbox);

    const MessageBoxView first = tarnwick.WaitForMessageBox();
    ExpectStartupLibraryError(first, kLibraryError);
    tarnwick.Press(first, L"OK");
    const MessageBoxView second = tarnwick.WaitForMessageBox();
    ExpectStartupLibraryError(second, kDefaultLibraryError);
    tarnwick.Press(second, L"OK");

    EXPECT_EQ(tarnwick.WaitForExit(), 1u);
    EXPECT_EQ(sandbox.IniValue(L"Language"), L"10002");
}

TEST(StartupLanguage, AMissingEnglishLibraryIsReportedTwice) {
    Sandbox sandbox;
    sandbox.RemoveLanguage(L"English.dll");
    Program tarnwick(sandbox);
    ExpectNoLibraryAndExitCodeOne(tarnwick);
    EXPECT_FALSE(FileExists(sandbox.Ini())) << "a failed start writes no settings";
}

TEST(StartupLanguage, ADamagedOrIncompleteLibraryCountsAsMissing) {
    for (const bool damaged : {true, false}) {
        SCOPED_TRACE(damaged ? "damaged file" : "library without menu 128");
        Sandbox sandbox;
        sandbox.WriteIni("[Tarnwick]\r\nLanguage=10000\r\n");
        if (damaged) {
            WriteBytes(sandbox / L"Languages\\Czech.dll", std::string(4096, 'M'));
        } else {
            sandbox.PutLanguage(TestDataFile(L"NoMenu.dll"), L"Czech.dll");
        }
        Program tarnwick(sandbox);
        const MessageBoxView box = tarnwick.WaitForMessageBox();
        EXPECT_EQ(box.text, kLibraryError);
        tarnwick.Press(box, L"OK");
        tarnwick.CloseNormally();
    }
}

TEST(StartupLanguage, CodeInALibraryNeverRuns) {
    Sandbox sandbox;
    sandbox.WriteIni("[Tarnwick]\r\nLanguage=10002\r\n");
    sandbox.PutLanguage(TestDataFile(L"CodeLibrary.dll"), L"Slovak.dll");
    const std::wstring mark = sandbox / L"code-ran";
    SetEnvironmentVariableW(L"TARNWICK_CODE_MARK", mark.c_str());
    Program tarnwick(sandbox, TooLongName());
    SetEnvironmentVariableW(L"TARNWICK_CODE_MARK", nullptr);

    // The library's resources are complete, so it is taken, as resources only.
    const MessageBoxView box = tarnwick.WaitForMessageBox();
    EXPECT_EQ(box.text, LibraryString(sandbox / L"Languages\\English.dll", IDS_NAME_TOO_LONG));
    tarnwick.Press(box, L"OK");
    tarnwick.CloseNormally();
    EXPECT_FALSE(FileExists(mark)) << "the library's entry point ran inside Tarnwick";
}

TEST(StartupCommandLine, ATooLongFileNameIsRefusedInTheChosenLanguage) {
    for (const auto& [language, library] :
         {std::pair{"10001", L"English.dll"}, std::pair{"10000", L"Czech.dll"}}) {
        Sandbox sandbox;
        sandbox.WriteIni(std::string("[Tarnwick]\r\nLanguage=") + language + "\r\n");
        Program tarnwick(sandbox, TooLongName());

        const MessageBoxView box = tarnwick.WaitForMessageBox();
        const std::wstring languages = sandbox / L"Languages\\";
        EXPECT_EQ(box.text, LibraryString(languages + library, IDS_NAME_TOO_LONG));
        EXPECT_EQ(box.caption, LibraryString(languages + library, IDS_INFORMATION_CAPTION));
        EXPECT_FALSE(box.hasIcon);
        EXPECT_EQ(box.buttons, std::vector<std::wstring>{L"OK"});
        tarnwick.Press(box, L"OK");
        // A new document follows.
        const HWND main = tarnwick.MainWindow();
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(WindowText(main),
                  L"Tarnwick - " + LibraryString(languages + library, IDS_UNTITLED));
        tarnwick.Close();
        EXPECT_EQ(tarnwick.WaitForExit(), 0u);
    }
}

TEST(StartupCommandLine, ANameOfTwoHundredFiftyNineCharactersIsTried) {
    Sandbox sandbox;
    const std::wstring name = std::wstring(255, L'n') + L".txt";
    Program tarnwick(sandbox, L"\"" + name + L"\"");
    // The name is accepted and looked for: the file does not exist.
    const MessageBoxView box = tarnwick.WaitForMessageBox();
    EXPECT_NE(box.text.find(name), std::wstring::npos) << Utf8(box.text);
    tarnwick.Press(box, L"OK");
    tarnwick.CloseNormally();
}

// Copies the program with its libraries into a folder below the sandbox whose path has the
// given length (with its trailing backslash) and returns that folder.
std::wstring DeepCopy(const Sandbox& sandbox, std::size_t folderLength) {
    std::wstring deep = sandbox.Folder();
    while (deep.size() < folderLength) {
        // Each folder adds its name and a backslash; never leave a single unit to fill.
        const std::size_t remaining = folderLength - deep.size();
        std::size_t step = std::min<std::size_t>(100, remaining - 1);
        if (remaining - (step + 1) == 1) {
            --step;
        }
        deep += std::wstring(step, L'd') + L"\\";
        EXPECT_TRUE(CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr)) << Utf8(deep);
    }
    EXPECT_EQ(deep.size(), folderLength);
    CopyTree(L"\\\\?\\" + sandbox.Folder() + L"Languages\\", L"\\\\?\\" + deep + L"Languages\\");
    EXPECT_TRUE(
        CopyFileW(sandbox.Exe().c_str(), (L"\\\\?\\" + deep + L"Tarnwick.exe").c_str(), FALSE));
    return deep;
}

TEST(StartupPaths, ALanguagePathBeyondTheLimitIsRefusedNotCut) {
    // The program's own path fits (255 units) but its Languages\ paths do not: a cut path
    // would name some other file, so no library is loaded at all.
    Sandbox sandbox;
    const std::wstring deep = DeepCopy(sandbox, 255 - 12);
    Program tarnwick(deep + L"Tarnwick.exe", L"Tarnwick.exe", deep);
    ExpectNoLibraryAndExitCodeOne(tarnwick);
}

TEST(StartupPaths, AProgramPathBeyondTheLimitIsRefusedNotCut) {
    Sandbox sandbox;
    const std::wstring deep = DeepCopy(sandbox, 300);
    const std::wstring exe = L"\\\\?\\" + deep + L"Tarnwick.exe";
    if (!CanStart(exe)) {
        // Wine cannot start a program from a path beyond MAX_PATH; Windows can, and then the
        // system cuts the module path the program asks for.
        GTEST_SKIP() << "this system cannot start a program from a path of 300 units";
    }
    Program tarnwick(exe, L"Tarnwick.exe", sandbox.Folder());
    ExpectNoLibraryAndExitCodeOne(tarnwick);
    EXPECT_FALSE(FileExists(L"\\\\?\\" + deep + L"Tarnwick.ini"));
}

} // namespace
