// What a user sees when Tarnwick starts: the language library it loads or falls back from,
// and the file name on its command line.
#include "language/resource_ids.h"
#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

namespace {

const std::wstring kLibraryError = L"Language Library loading error.";
const std::wstring kDefaultLibraryError = L"Default Language Library loading error.";

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

// A file name the program refuses: 260 characters.
std::wstring TooLongName() {
    return Quoted(std::wstring(256, L'n') + L".txt");
}

// The program's own text about a library, in a box of the system's with a stop icon.
void AnswerLibraryError(const Program& tarnwick, const std::wstring& text) {
    const MessageBoxView box = tarnwick.WaitForMessageBox();
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, L"Error") << "the system's caption for a box without one";
    EXPECT_TRUE(box.hasIcon) << "a stop icon";
    EXPECT_EQ(box.buttons, std::vector<std::wstring>{L"OK"});
    tarnwick.Press(box, L"OK");
}

void ExpectNoLibraryAndExitCodeOne(const Program& tarnwick) {
    AnswerLibraryError(tarnwick, kLibraryError);
    AnswerLibraryError(tarnwick, kDefaultLibraryError);
    EXPECT_EQ(tarnwick.WaitForExit(), 1u);
}

TEST(StartupLanguage, AMissingChosenLibraryFallsBackToEnglishAndKeepsTheChoice) {
    Sandbox sandbox;
    sandbox.WriteIni("[Tarnwick]\r\nLanguage=10002\r\n");
    sandbox.RemoveLanguage(L"Slovak.dll");
    Program tarnwick(sandbox, TooLongName());
    AnswerLibraryError(tarnwick, kLibraryError);
    // The next text already comes from English.dll.
    tarnwick.Answer(English(sandbox, IDS_NAME_TOO_LONG), English(sandbox, IDS_INFORMATION_CAPTION),
                    L"OK");
    tarnwick.CloseNormally();
    EXPECT_EQ(sandbox.IniValue(L"Language"), L"10002") << "the user's choice stays stored";
}

TEST(StartupLanguage, WithoutEvenEnglishItSaysSoTwiceAndEndsWithCodeOneWritingNothing) {
    Sandbox sandbox;
    const std::string ini = "[Tarnwick]\r\nLanguage=10002\r\n";
    sandbox.WriteIni(ini);
    sandbox.RemoveLanguage(L"Slovak.dll");
    sandbox.RemoveLanguage(L"English.dll");
    Program tarnwick(sandbox);
    ExpectNoLibraryAndExitCodeOne(tarnwick);
    EXPECT_EQ(ReadBytes(sandbox.Ini()), ini) << "a failed start writes no settings";
}

// A name too long on the command line is refused in the chosen library's words, then a new
// document opens.
TEST(StartupLanguage, TheChosenLibrarySpeaks) {
    Sandbox sandbox;
    sandbox.WriteIni("[Tarnwick]\r\nLanguage=10000\r\n");
    const std::wstring czech = sandbox / L"Languages\\Czech.dll";
    Program tarnwick(sandbox, TooLongName());
    const MessageBoxView box = tarnwick.WaitForMessageBox();
    EXPECT_EQ(box.text, LibraryString(czech, IDS_NAME_TOO_LONG));
    EXPECT_EQ(box.caption, LibraryString(czech, IDS_INFORMATION_CAPTION));
    EXPECT_FALSE(box.hasIcon);
    EXPECT_EQ(box.buttons, std::vector<std::wstring>{L"OK"});
    tarnwick.Press(box, L"OK");
    tarnwick.ExpectDocument(Title(LibraryString(czech, IDS_UNTITLED)), L"", false);
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
