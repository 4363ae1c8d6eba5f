// The save question that guards unsaved text before a close, New, Open or a drop, and saves
// that fail: the user answers, and what was typed is never lost.
#include "language/resource_ids.h"
#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

void AcknowledgeFileError(const Program& tarnwick, const Sandbox& sandbox) {
    tarnwick.Answer(English(sandbox, IDS_FILE_ERROR), English(sandbox, IDS_ERROR_CAPTION), L"OK");
}

TEST(SaveQuestion, AskedOnlyForModifiedTextAndEachAnswerDoesWhatItSaysForAFileOrANewOne) {
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
    tarnwick.ExpectDocument(Title(L"a.txt"), L"alpha", false);
    SendCommand(main, IDM_FILE_NEW);
    tarnwick.ExpectDocument(Title(Untitled(sandbox)), L"", false);
    tarnwick.DropFiles(main, {a});
    tarnwick.ExpectDocument(Title(L"a.txt"), L"alpha", false);

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
        tarnwick.AnswerSaveQuestion(sandbox, a, L"Cancel");
        tarnwick.ExpectDocument(Title(L"a.txt", true), L"alpha 2", true);
        ASSERT_TRUE(IsWindow(main)) << "the window closed";
    }
    EXPECT_EQ(ReadBytes(a), "alpha");

    // No drops the changes; the dropped file opens.
    tarnwick.DropFiles(main, {b});
    tarnwick.AnswerSaveQuestion(sandbox, a, L"&No");
    tarnwick.ExpectDocument(Title(L"b.txt"), L"beta", false);
    EXPECT_EQ(ReadBytes(a), "alpha");

    // Yes saves before the Open dialog appears.
    Retype(edit, L"beta 2");
    SendCommand(main, IDM_FILE_OPEN);
    tarnwick.AnswerSaveQuestion(sandbox, b, L"&Yes");
    const HWND open = tarnwick.WaitForDialog(L"Open");
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(ReadBytes(b), "beta 2");
    ChooseFile(open, a);
    tarnwick.ExpectDocument(Title(L"a.txt"), L"alpha", false);

    Retype(edit, L"alpha 3");
    SendCommand(main, IDM_FILE_NEW);
    tarnwick.AnswerSaveQuestion(sandbox, a, L"&Yes");
    const std::wstring untitled = Untitled(sandbox);
    tarnwick.ExpectDocument(Title(untitled), L"", false);
    EXPECT_EQ(ReadBytes(a), "alpha 3");

    // A new document is saved through Save As: Yes on closing and Save As from the menu, both
    // cancelled in the dialog, keep the window and the text.
    BringToFront(main);
    TypeText(L"draft");
    tarnwick.ExpectDocument(Title(untitled, true), L"draft", true);
    const std::pair<const char*, std::function<void()>> saving[] = {
        {"close",
         [&] {
             tarnwick.Close();
             tarnwick.AnswerSaveQuestion(sandbox, untitled, L"&Yes");
         }},
        {"Save As", [&] { SendCommand(main, IDM_FILE_SAVE_AS); }},
    };
    for (const auto& [name, command] : saving) {
        SCOPED_TRACE(name);
        command();
        const HWND saveAs = tarnwick.WaitForDialog(L"Save As");
        ASSERT_NE(saveAs, nullptr);
        PressDialogButton(saveAs, IDCANCEL);
        tarnwick.ExpectDocument(Title(untitled, true), L"draft", true);
        ASSERT_TRUE(IsWindow(main)) << "the window closed";
    }
    const std::wstring draft = sandbox / L"draft.txt";
    EXPECT_FALSE(FileExists(draft));
    tarnwick.Close();
    tarnwick.AnswerSaveQuestion(sandbox, untitled, L"&Yes");
    tarnwick.ChooseInDialog(L"Save As", draft);
    EXPECT_EQ(tarnwick.WaitForExit(), 0u);
    EXPECT_EQ(ReadBytes(draft), "draft");
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
        // Another program holds the file open: the close, New and Save and Exit each fail.
        const HeldFile held(path);
        const std::pair<const char*, std::function<void()>> commands[] = {
            {"close", [&] { tarnwick.Close(); }},
            {"New", [&] { SendCommand(main, IDM_FILE_NEW); }},
        };
        for (const auto& [name, command] : commands) {
            SCOPED_TRACE(name);
            command();
            tarnwick.AnswerSaveQuestion(sandbox, path, L"&Yes");
            AcknowledgeFileError(tarnwick, sandbox);
            tarnwick.ExpectDocument(Title(L"a.txt", true), L"new", true);
            ASSERT_TRUE(IsWindow(main)) << "the window closed";
        }
        SendCommand(main, IDM_FILE_SAVE_AND_EXIT);
        AcknowledgeFileError(tarnwick, sandbox);
        tarnwick.ExpectDocument(Title(L"a.txt", true), L"new", true);
        ASSERT_TRUE(IsWindow(main)) << "the window closed";
    }
    EXPECT_EQ(ReadBytes(path), "old");
    SendCommand(main, IDM_FILE_SAVE_AND_EXIT);
    EXPECT_EQ(tarnwick.WaitForExit(), 0u);
    EXPECT_EQ(ReadBytes(path), "new");
}

} // namespace
