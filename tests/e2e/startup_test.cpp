// Start-up as a user sees it: the language library loaded or fallen back from, the file named.
#include "tests/e2e/driver.h"

namespace {

// Copies the program with its libraries into a folder below the sandbox whose path has the
// given length (with its trailing backslash) and returns that folder.
std::wstring DeepCopy(const Sandbox& sandbox, std::size_t folderLength) {
    const std::wstring deep = sandbox.DeepFolder(folderLength);
    // The libraries' paths are beyond MAX_PATH: only their long form names them.
    CopyTree(L"\\\\?\\" + sandbox.Folder() + L"Languages\\", L"\\\\?\\" + deep + L"Languages\\");
    EXPECT_TRUE(CopyFileW(sandbox.Exe().c_str(), (deep + L"Tarnwick.exe").c_str(), FALSE));
    return deep;
}

// The next message box, with its only button OK pressed.
void ExpectBox(const Program& tarnwick, const std::wstring& text, const std::wstring& caption,
               bool icon) {
    const MessageBoxView box = tarnwick.WaitForMessageBox();
    EXPECT_EQ(std::tuple(box.text, box.caption, box.hasIcon, box.buttons),
              std::tuple(text, caption, icon, std::vector<std::wstring>{L"OK"}));
    tarnwick.Press(box, L"OK");
}

// Each start is given a name too long to open (260 characters). A library that cannot load is
// told of in the program's words in a system box ("Error", a stop icon); without even English,
// twice, and it ends with code 1 writing no settings; else that library refuses the name.
TEST(Startup, EnglishStandsInForAMissingLibraryAndPathsBeyondTheLimitAreRefusedNotCut) {
    const struct {
        const char* name;
        const wchar_t* language;
        std::vector<std::wstring> removed;
        std::size_t folderLength; // 0: the sandbox itself
        const wchar_t* speaks;    // nullptr: no library loads, of which the user is told twice
    } starts[] = {
        {"a missing chosen library", L"10002", {L"Slovak.dll"}, 0, L"English.dll"},
        {"without even English", L"10002", {L"Slovak.dll", L"English.dll"}, 0, nullptr},
        // The program's own path fits (255 units) but its Languages\ paths do not: a cut path
        // would name some other file, so no library is loaded at all.
        {"a library path beyond the limit", nullptr, {}, 255 - 12, nullptr},
    };
    for (const auto& start : starts) {
        SCOPED_TRACE(start.name);
        Sandbox sandbox;
        const std::string ini =
            start.language ? "[Tarnwick]\r\nLanguage=" + Utf8(start.language) + "\r\n" : "";
        sandbox.WriteIni(ini);
        for (const std::wstring& library : start.removed) {
            EXPECT_TRUE(DeleteFileW((sandbox / L"Languages\\" + library).c_str()));
        }
        const std::wstring folder =
            start.folderLength ? DeepCopy(sandbox, start.folderLength) : sandbox.Folder();
        Program tarnwick(folder + L"Tarnwick.exe",
                         L"Tarnwick.exe " + Quoted(std::wstring(256, L'n') + L".txt"),
                         sandbox.Folder());
        // "Error" is the system's caption for a box without one.
        ExpectBox(tarnwick, L"Language Library loading error.", L"Error", true);
        if (start.speaks == nullptr) {
            ExpectBox(tarnwick, L"Default Language Library loading error.", L"Error", true);
            EXPECT_EQ(tarnwick.WaitForExit(), 1u);
            const std::wstring written = folder + L"Tarnwick.ini";
            EXPECT_EQ(FileExists(written) ? ReadBytes(written) : "", ini)
                << "a failed start writes no settings";
            continue;
        }
        const std::wstring library = sandbox / L"Languages\\" + start.speaks;
        ExpectBox(tarnwick, LibraryString(library, IDS_NAME_TOO_LONG),
                  LibraryString(library, IDS_INFORMATION_CAPTION), false);
        tarnwick.ExpectDocument(Title(LibraryString(library, IDS_UNTITLED)), L"", false);
        tarnwick.CloseNormally();
        sandbox.ExpectIni(L"Language=" + std::wstring(start.language)); // the choice stays
    }
}

} // namespace
