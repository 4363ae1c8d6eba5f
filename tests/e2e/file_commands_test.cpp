// The save question that guards unsaved text before a close, New, Open or a drop, and saves
// that fail: the user answers, and what was typed is never lost.
#include "language/resource_ids.h"
#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

std::wstring Quoted(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

std::wstring Title(const std::wstring& name, bool modified) {
    return (modified ? L"* Tarnwick - " : L"Tarnwick - ") + name;
}

// The whole text replaced as a user's edit would: the document becomes modified.
void Retype(HWND edit, const std::wstring& text) {
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

// Waits for the title and the text together: a key still on its way would otherwise land in
// whatever window comes next.
void ExpectDocument(const Program& tarnwick, const std::wstring& title, const std::wstring& text,
                    bool modified) {
    const HWND main = tarnwick.MainWindow();
    const HWND edit = tarnwick.EditControl();
    EXPECT_TRUE(WaitUntil([&] { return WindowText(main) == title && EditText(edit) == text; }))
        << "title " << Utf8(WindowText(main)) << ", awaited " << Utf8(title) << "; text "
        << Utf8(EditText(edit)) << ", awaited " << Utf8(text);
    EXPECT_EQ(SendMessageW(edit, EM_GETMODIFY, 0, 0) != 0, modified);
}

// The save question about the document called `named`, answered with `button`.
void AnswerSaveQuestion(const Program& tarnwick, const Sandbox& sandbox, const std::wstring& named,
                        const std::wstring& button) {
    const MessageBoxView question = tarnwick.WaitForMessageBox();
    EXPECT_EQ(question.text, English(sandbox, IDS_ASK_SAVE_CHANGES, named));
    EXPECT_EQ(question.caption, L"Tarnwick");
    EXPECT_EQ(question.buttons, (std::vector<std::wstring>{L"&Yes", L"&No", L"Cancel"}));
    tarnwick.Press(question, button);
}

void AcknowledgeFileError(const Program& tarnwick, const Sandbox& sandbox) {
    tarnwick.Answer(English(sandbox, IDS_FILE_ERROR), English(sandbox, IDS_ERROR_CAPTION), L"OK");
}

// A file opened without sharing, as another program might hold it: nobody can write it.
class HeldFile {
  public:
    explicit HeldFile(const std::wstring& path)
        : handle_(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {
        EXPECT_NE(handle_, INVALID_HANDLE_VALUE) << "cannot hold " << Utf8(path);
    }
    ~HeldFile() { CloseHandle(handle_); }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

  private:
    HANDLE handle_;
};

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
        if (std::wstring(found.cFileName) != L"." && std::wstring(found.cFileName) != L"..") {
            names.push_back(found.cFileName);
        }
    }
    FindClose(search);
    return names;
}

TEST(SaveQuestion, AskedOnlyForModifiedTextAndEachAnswerDoesWhatItSays) {
    Sandbox sandbox;
    const std::wstring a = sandbox / L"a.txt";
    const std::wstring b = sandbox / L"b.txt";
    WriteBytes(a, "alpha");
    WriteBytes(b, "beta");
    Program tarnwick(sandbox);
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    const HWND edit = tarnwick.EditControl();

    // Nothing to lose: Open, New and a drop go on at once.
    SendCommand(main, IDM_FILE_OPEN);
    tarnwick.ChooseInDialog(L"Open", a);
    ExpectDocument(tarnwick, Title(L"a.txt", false), L"alpha", false);
    SendCommand(main, IDM_FILE_NEW);
    ExpectDocument(tarnwick, Title(English(sandbox, IDS_UNTITLED), false), L"", false);
    tarnwick.DropFiles(main, {a});
    ExpectDocument(tarnwick, Title(L"a.txt", false), L"alpha", false);

    // Cancel leaves everything as it was; a command that went on anyway would show its dialog,
    // another file or no window at the next question.
    Retype(edit, L"alpha 2");
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"close", [&] { tarnwick.Close(); }},
        {"New", [&] { SendCommand(main, IDM_FILE_NEW); }},
        {"Open", [&] { SendCommand(main, IDM_FILE_OPEN); }},
        {"drop", [&] { tarnwick.DropFiles(main, {b}); }},
    };
    for (const auto& [name, command] : commands) {
        SCOPED_TRACE(name);
        command();
        AnswerSaveQuestion(tarnwick, sandbox, a, L"Cancel");
        ExpectDocument(tarnwick, Title(L"a.txt", true), L"alpha 2", true);
        ASSERT_TRUE(IsWindow(main)) << "the window closed";
    }
    EXPECT_EQ(ReadBytes(a), "alpha");

    // No drops the changes; the dropped file opens.
    tarnwick.DropFiles(main, {b});
    AnswerSaveQuestion(tarnwick, sandbox, a, L"&No");
    ExpectDocument(tarnwick, Title(L"b.txt", false), L"beta", false);
    EXPECT_EQ(ReadBytes(a), "alpha");

    // Yes saves before the Open dialog appears.
    Retype(edit, L"beta 2");
    SendCommand(main, IDM_FILE_OPEN);
    AnswerSaveQuestion(tarnwick, sandbox, b, L"&Yes");
    const HWND open = tarnwick.WaitForDialog(L"Open");
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(ReadBytes(b), "beta 2");
    ChooseFile(open, a);
    ExpectDocument(tarnwick, Title(L"a.txt", false), L"alpha", false);

    Retype(edit, L"alpha 3");
    SendCommand(main, IDM_FILE_NEW);
    AnswerSaveQuestion(tarnwick, sandbox, a, L"&Yes");
    ExpectDocument(tarnwick, Title(English(sandbox, IDS_UNTITLED), false), L"", false);
    EXPECT_EQ(ReadBytes(a), "alpha 3");
    tarnwick.CloseNormally();
}

// A save that does not fit on the small test disk: the file keeps its bytes, no temporary file
// stays beside it, and the window stays with the text.
void SaveOnAFullDisk(const Sandbox& sandbox, const std::wstring& drive) {
    const std::wstring folder = drive + L"tarnwick-file-commands\\";
    RemoveTree(folder);
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << Utf8(folder);
    const std::wstring path = folder + L"big.txt";
    WriteBytes(path, "previous");
    {
        Program tarnwick(sandbox, Quoted(path));
        const HWND main = tarnwick.MainWindow();
        ASSERT_NE(main, nullptr);
        const HWND edit = tarnwick.EditControl();
        // More than the whole disk holds: 300 KiB of ANSI bytes.
        const std::wstring text(300 * 1024, L'x');
        Retype(edit, text);
        ASSERT_TRUE(WaitUntil([&] { return WindowText(main) == Title(L"big.txt", true); }));
        SendCommand(main, IDM_FILE_SAVE_AND_EXIT);
        AcknowledgeFileError(tarnwick, sandbox);
        EXPECT_EQ(WindowText(main), Title(L"big.txt", true));
        EXPECT_TRUE(EditText(edit) == text) << "the text is no longer what was typed";
        EXPECT_NE(SendMessageW(edit, EM_GETMODIFY, 0, 0), 0);
        EXPECT_EQ(ReadBytes(path), "previous");
        EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"big.txt"});
        tarnwick.Close();
        AnswerSaveQuestion(tarnwick, sandbox, path, L"&No");
        EXPECT_EQ(tarnwick.WaitForExit(), 0u);
    }
    RemoveTree(folder);
}

TEST(FailedSave, KeepsTheWindowAndItsTextUntilTheFileCanBeWritten) {
    Sandbox sandbox;
    const std::wstring path = sandbox / L"a.txt";
    WriteBytes(path, "old");
    Program tarnwick(sandbox, Quoted(path));
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    Retype(tarnwick.EditControl(), L"new");
    {
        const HeldFile held(path);
        tarnwick.Close();
        AnswerSaveQuestion(tarnwick, sandbox, path, L"&Yes");
        AcknowledgeFileError(tarnwick, sandbox);
        ExpectDocument(tarnwick, Title(L"a.txt", true), L"new", true);
        ASSERT_TRUE(IsWindow(main)) << "the window closed";

        SendCommand(main, IDM_FILE_NEW);
        AnswerSaveQuestion(tarnwick, sandbox, path, L"&Yes");
        AcknowledgeFileError(tarnwick, sandbox);
        ExpectDocument(tarnwick, Title(L"a.txt", true), L"new", true);

        SendCommand(main, IDM_FILE_SAVE_AND_EXIT);
        AcknowledgeFileError(tarnwick, sandbox);
        ExpectDocument(tarnwick, Title(L"a.txt", true), L"new", true);
        ASSERT_TRUE(IsWindow(main)) << "the window closed";
    }
    EXPECT_EQ(ReadBytes(path), "old");
    SendCommand(main, IDM_FILE_SAVE_AND_EXIT);
    EXPECT_EQ(tarnwick.WaitForExit(), 0u);
    EXPECT_EQ(ReadBytes(path), "new");

    // The small disk exists only where the test session could mount it (as root).
    wchar_t drive[MAX_PATH];
    if (GetEnvironmentVariableW(L"TARNWICK_SMALL_DRIVE", drive, MAX_PATH) != 0) {
        SaveOnAFullDisk(sandbox, drive);
    }
}

TEST(SaveQuestion, ANewDocumentIsSavedThroughSaveAsAndCancellingItKeepsTheWindow) {
    Sandbox sandbox;
    Program tarnwick(sandbox);
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    const std::wstring untitled = English(sandbox, IDS_UNTITLED);
    BringToFront(main);
    TypeText(L"draft");
    ExpectDocument(tarnwick, Title(untitled, true), L"draft", true);

    tarnwick.Close();
    AnswerSaveQuestion(tarnwick, sandbox, untitled, L"&Yes");
    HWND saveAs = tarnwick.WaitForDialog(L"Save As");
    ASSERT_NE(saveAs, nullptr);
    PressDialogButton(saveAs, IDCANCEL);
    ExpectDocument(tarnwick, Title(untitled, true), L"draft", true);
    ASSERT_TRUE(IsWindow(main)) << "the window closed";

    SendCommand(main, IDM_FILE_SAVE_AS);
    saveAs = tarnwick.WaitForDialog(L"Save As");
    ASSERT_NE(saveAs, nullptr);
    PressDialogButton(saveAs, IDCANCEL);
    ExpectDocument(tarnwick, Title(untitled, true), L"draft", true);

    const std::wstring path = sandbox / L"draft.txt";
    EXPECT_FALSE(FileExists(path));
    tarnwick.Close();
    AnswerSaveQuestion(tarnwick, sandbox, untitled, L"&Yes");
    saveAs = tarnwick.WaitForDialog(L"Save As");
    ASSERT_NE(saveAs, nullptr);
    ChooseFile(saveAs, path);
    EXPECT_EQ(tarnwick.WaitForExit(), 0u);
    EXPECT_EQ(ReadBytes(path), "draft");
}

} // namespace
