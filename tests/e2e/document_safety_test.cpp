// What a document keeps when something goes wrong: a file typed out and interrupted, a file
// that cannot be typed out, and a save in ANSI that would change characters.
#include "language/resource_ids.h"
#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(TypeOut, TypesAFileOutUntilAnotherIsOpenedAndEmptiesTheDocumentWhenItFails) {
    Sandbox sandbox;
    WriteBytes(sandbox / L"short.txt", "one\r\ntwo");
    // Twelve seconds of typing: still going when another file is opened.
    WriteBytes(sandbox / L"long.txt", std::string(80, 'z'));
    WriteBytes(sandbox / L"other.txt", "other text");
    // A file the program refuses: it starts with the UTF-8 mark.
    WriteBytes(sandbox / L"marked.txt", "\xEF\xBB\xBFmarked");
    Program tarnwick(sandbox);
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    const HWND edit = tarnwick.EditControl();

    InsertText(edit, L"draft");
    SendCommand(main, IDM_FILE_TYPE_OUT);
    tarnwick.AnswerSaveQuestion(sandbox, Untitled(sandbox), L"&No");
    tarnwick.ChooseInDialog(L"Open", sandbox / L"short.txt");
    ExpectTitle(main, Title(L"short.txt"));
    // Every state seen on the way is a beginning of the file's text under an unmarked title,
    // and the text arrives in several steps rather than at once.
    const std::wstring whole = L"one\r\ntwo";
    std::set<std::size_t> partLengths;
    std::wstring text;
    std::wstring title;
    const bool typed = WaitUntil([&] {
        text = EditText(edit);
        title = WindowText(main);
        if (!whole.starts_with(text) || title != Title(L"short.txt")) {
            return true;
        }
        if (!text.empty() && text != whole) {
            partLengths.insert(text.size());
        }
        return text == whole;
    });
    EXPECT_TRUE(typed) << "still typing after " << kPatience << " ms";
    EXPECT_EQ(text, whole);
    EXPECT_EQ(title, Title(L"short.txt"));
    EXPECT_GE(partLengths.size(), 3u) << "the text did not arrive one character at a time";
    EXPECT_TRUE(WaitUntil([&] { return SendMessageW(edit, EM_GETMODIFY, 0, 0) == 0; }))
        << "the document still counts as modified after the typing";

    // A second type-out needs no question; opening another file while it types stops it.
    SendCommand(main, IDM_FILE_TYPE_OUT);
    tarnwick.ChooseInDialog(L"Open", sandbox / L"long.txt");
    ASSERT_TRUE(WaitUntil([&] { return EditText(edit).size() >= 3; }));
    SendCommand(main, IDM_FILE_OPEN);
    tarnwick.ChooseInDialog(L"Open", sandbox / L"other.txt");
    tarnwick.ExpectDocument(Title(L"other.txt"), L"other text", false);
    Sleep(1000);
    EXPECT_EQ(EditText(edit), L"other text") << "the stopped type-out went on typing";
    InsertText(edit, L"!");
    ExpectTitle(main, Title(L"other.txt", true));

    // A type-out that fails leaves a new empty document: Save no longer names other.txt.
    SendCommand(main, IDM_FILE_TYPE_OUT);
    tarnwick.AnswerSaveQuestion(sandbox, sandbox / L"other.txt", L"&No");
    tarnwick.ChooseInDialog(L"Open", sandbox / L"marked.txt");
    tarnwick.Answer(English(sandbox, IDS_BAD_FORMAT), English(sandbox, IDS_ERROR_CAPTION), L"OK");
    ExpectTitle(main, Title(Untitled(sandbox)));
    EXPECT_EQ(EditText(edit), L"");
    InsertText(edit, L"new");
    SendCommand(main, IDM_FILE_SAVE);
    const HWND saveAs = tarnwick.WaitForDialog(L"Save As");
    ASSERT_NE(saveAs, nullptr);
    PressDialogButton(saveAs, IDCANCEL);
    EXPECT_EQ(ReadBytes(sandbox / L"other.txt"), "other text");

    tarnwick.Close();
    tarnwick.AnswerSaveQuestion(sandbox, Untitled(sandbox), L"&No");
    EXPECT_EQ(tarnwick.WaitForExit(), 0u);
}

TEST(AnsiSave, AsksBeforeChangingACharacterAndWritesWhatEachAnswerSays) {
    // U+4E2D is not in code page 1252; "é" is.
    ASSERT_EQ(GetACP(), 1252u) << "the tests expect the ANSI code page 1252";
    Sandbox sandbox;
    const std::wstring file = sandbox / L"a.txt";
    WriteBytes(file, "old");
    Program tarnwick(sandbox, file);
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    const HWND edit = tarnwick.EditControl();
    const std::wstring question = English(sandbox, IDS_ANSI_CHANGES_CHARACTERS);
    const std::wstring caption = English(sandbox, IDS_INFORMATION_CAPTION);
    constexpr int kEncodingPart = 6;

    Retype(edit, L"caf\u00E9");
    SendCommand(main, IDM_FILE_SAVE);
    ExpectFileBytes(file, "caf\xE9");
    ExpectTitle(main, Title(L"a.txt"));

    SendMessageW(edit, EM_SETSEL, 4, 4);
    InsertText(edit, L"\u4E2D");
    SendCommand(main, IDM_FILE_SAVE);
    MessageBoxView box = tarnwick.WaitForMessageBox();
    EXPECT_EQ(box.text, question);
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.buttons, (std::vector<std::wstring>{L"&Yes", L"&No", L"Cancel"}));
    tarnwick.Press(box, L"Cancel");
    ExpectTitle(main, Title(L"a.txt", true));

    // The second question shows that the first Save is over: Cancel wrote nothing.
    SendCommand(main, IDM_FILE_SAVE);
    box = tarnwick.WaitForMessageBox();
    EXPECT_EQ(box.text, question);
    EXPECT_EQ(ReadBytes(file), "caf\xE9");
    tarnwick.Press(box, L"&No");
    ExpectFileBytes(file, Utf16LeFile(L"caf\u00E9\u4E2D"));
    ExpectStatusText(main, kEncodingPart, L" UTF-16 LE");
    ExpectTitle(main, Title(L"a.txt"));

    SendCommand(main, IDM_ENCODING_ANSI);
    ExpectTitle(main, Title(L"a.txt", true));
    ExpectStatusText(main, kEncodingPart, L" ANSI");
    SendCommand(main, IDM_FILE_SAVE);
    tarnwick.Answer(question, caption, L"&Yes");
    ExpectFileBytes(file, "caf\xE9?");
    ExpectTitle(main, Title(L"a.txt"));
    ExpectStatusText(main, kEncodingPart, L" ANSI");
    EXPECT_EQ(EditText(edit), L"caf\u00E9\u4E2D") << "only the file loses the character";
    tarnwick.CloseNormally();
}

} // namespace
