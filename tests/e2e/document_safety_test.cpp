// What a document keeps when something goes wrong: a file typed out and interrupted, a file
// that cannot be typed out, a save in ANSI that would change characters, and loads that fail.
#include "language/resource_ids.h"
#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::wstring TitleFor(const std::wstring& name) {
    return L"Tarnwick - " + name;
}

std::wstring UntitledTitle(const Sandbox& sandbox) {
    return TitleFor(English(sandbox, IDS_UNTITLED));
}

void ExpectFileBytes(const std::wstring& path, const std::string& bytes) {
    std::string seen;
    WaitUntil([&] { return (seen = ReadBytes(path)) == bytes; });
    EXPECT_EQ(seen, bytes) << Utf8(path);
}

void ExpectEditText(HWND edit, const std::wstring& text) {
    std::wstring seen;
    WaitUntil([&] { return (seen = EditText(edit)) == text; });
    EXPECT_EQ(seen, text);
}

std::string Utf16LeFile(const std::wstring& text) {
    return "\xFF\xFE" +
           std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

// A file the program refuses: it starts with the UTF-8 mark.
constexpr char kUtf8MarkedBytes[] = "\xEF\xBB\xBFmarked";

TEST(TypeOut, TypesAFileOutUntilAnotherIsOpenedAndEmptiesTheDocumentWhenItFails) {
    Sandbox sandbox;
    WriteBytes(sandbox / L"short.txt", "one\r\ntwo");
    // Twelve seconds of typing: still going when another file is opened.
    WriteBytes(sandbox / L"long.txt", std::string(80, 'z'));
    WriteBytes(sandbox / L"other.txt", "other text");
    WriteBytes(sandbox / L"marked.txt", kUtf8MarkedBytes);
    Program tarnwick(sandbox);
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    const HWND edit = tarnwick.EditControl();

    InsertText(edit, L"draft");
    SendCommand(main, IDM_FILE_TYPE_OUT);
    tarnwick.Answer(English(sandbox, IDS_ASK_SAVE_CHANGES, English(sandbox, IDS_UNTITLED)),
                    L"Tarnwick", L"&No");
    tarnwick.ChooseInDialog(L"Open", sandbox / L"short.txt");
    ExpectTitle(main, TitleFor(L"short.txt"));
    // Every state seen on the way is a beginning of the file's text under an unmarked title,
    // and the text arrives in several steps rather than at once.
    const std::wstring whole = L"one\r\ntwo";
    std::set<std::size_t> partLengths;
    std::wstring text;
    std::wstring title;
    const bool typed = WaitUntil([&] {
        text = EditText(edit);
        title = WindowText(main);
        if (!whole.starts_with(text) || title != TitleFor(L"short.txt")) {
            return true;
        }
        if (!text.empty() && text != whole) {
            partLengths.insert(text.size());
        }
        return text == whole;
    });
    EXPECT_TRUE(typed) << "still typing after " << kPatience << " ms";
    EXPECT_EQ(text, whole);
    EXPECT_EQ(title, TitleFor(L"short.txt"));
    EXPECT_GE(partLengths.size(), 3u) << "the text did not arrive one character at a time";
    EXPECT_TRUE(WaitUntil([&] { return SendMessageW(edit, EM_GETMODIFY, 0, 0) == 0; }))
        << "the document still counts as modified after the typing";

    // A second type-out needs no question; opening another file while it types stops it.
    SendCommand(main, IDM_FILE_TYPE_OUT);
    tarnwick.ChooseInDialog(L"Open", sandbox / L"long.txt");
    ASSERT_TRUE(WaitUntil([&] { return EditText(edit).size() >= 3; }));
    SendCommand(main, IDM_FILE_OPEN);
    tarnwick.ChooseInDialog(L"Open", sandbox / L"other.txt");
    ExpectEditText(edit, L"other text");
    ExpectTitle(main, TitleFor(L"other.txt"));
    Sleep(1000);
    EXPECT_EQ(EditText(edit), L"other text") << "the stopped type-out went on typing";
    InsertText(edit, L"!");
    ExpectTitle(main, L"* " + TitleFor(L"other.txt"));

    // A type-out that fails leaves a new empty document: Save no longer names other.txt.
    SendCommand(main, IDM_FILE_TYPE_OUT);
    tarnwick.Answer(English(sandbox, IDS_ASK_SAVE_CHANGES, sandbox / L"other.txt"), L"Tarnwick",
                    L"&No");
    tarnwick.ChooseInDialog(L"Open", sandbox / L"marked.txt");
    tarnwick.Answer(English(sandbox, IDS_BAD_FORMAT), English(sandbox, IDS_ERROR_CAPTION), L"OK");
    ExpectTitle(main, UntitledTitle(sandbox));
    EXPECT_EQ(EditText(edit), L"");
    InsertText(edit, L"new");
    SendCommand(main, IDM_FILE_SAVE);
    const HWND saveAs = tarnwick.WaitForDialog(L"Save As");
    ASSERT_NE(saveAs, nullptr);
    PressDialogButton(saveAs, IDCANCEL);
    EXPECT_EQ(ReadBytes(sandbox / L"other.txt"), "other text");

    tarnwick.Close();
    tarnwick.Answer(English(sandbox, IDS_ASK_SAVE_CHANGES, English(sandbox, IDS_UNTITLED)),
                    L"Tarnwick", L"&No");
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
    const HWND bar = FindWindowExW(main, nullptr, L"msctls_statusbar32", nullptr);
    ASSERT_NE(bar, nullptr);
    const std::wstring question = English(sandbox, IDS_ANSI_CHANGES_CHARACTERS);
    const std::wstring caption = English(sandbox, IDS_INFORMATION_CAPTION);
    auto expectEncoding = [&](const std::wstring& label) {
        std::wstring seen;
        WaitUntil([&] { return (seen = StatusText(bar, 6)) == label; });
        EXPECT_EQ(seen, label);
    };

    SendMessageW(edit, EM_SETSEL, 0, -1);
    InsertText(edit, L"caf\u00E9");
    SendCommand(main, IDM_FILE_SAVE);
    ExpectFileBytes(file, "caf\xE9");
    ExpectTitle(main, TitleFor(L"a.txt"));

    SendMessageW(edit, EM_SETSEL, 4, 4);
    InsertText(edit, L"\u4E2D");
    SendCommand(main, IDM_FILE_SAVE);
    MessageBoxView box = tarnwick.WaitForMessageBox();
    EXPECT_EQ(box.text, question);
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.buttons, (std::vector<std::wstring>{L"&Yes", L"&No", L"Cancel"}));
    tarnwick.Press(box, L"Cancel");
    ExpectTitle(main, L"* " + TitleFor(L"a.txt"));

    // The second question shows that the first Save is over: Cancel wrote nothing.
    SendCommand(main, IDM_FILE_SAVE);
    box = tarnwick.WaitForMessageBox();
    EXPECT_EQ(box.text, question);
    EXPECT_EQ(ReadBytes(file), "caf\xE9");
    tarnwick.Press(box, L"&No");
    ExpectFileBytes(file, Utf16LeFile(L"caf\u00E9\u4E2D"));
    expectEncoding(L" UTF-16 LE");
    ExpectTitle(main, TitleFor(L"a.txt"));

    SendCommand(main, IDM_ENCODING_ANSI);
    ExpectTitle(main, L"* " + TitleFor(L"a.txt"));
    expectEncoding(L" ANSI");
    SendCommand(main, IDM_FILE_SAVE);
    tarnwick.Answer(question, caption, L"&Yes");
    ExpectFileBytes(file, "caf\xE9?");
    ExpectTitle(main, TitleFor(L"a.txt"));
    expectEncoding(L" ANSI");
    EXPECT_EQ(EditText(edit), L"caf\u00E9\u4E2D") << "only the file loses the character";
    tarnwick.CloseNormally();
}

TEST(FailedLoad, AFailedOpenDropOrRecentFileKeepsTheDocumentAndItsFile) {
    Sandbox sandbox;
    const std::wstring file = sandbox / L"a.txt";
    const std::wstring marked = sandbox / L"marked.txt";
    const std::wstring gone = sandbox / L"gone.txt";
    WriteBytes(file, "kept");
    WriteBytes(marked, kUtf8MarkedBytes);
    // A recent file of an earlier session, deleted since.
    sandbox.WriteIni("[Tarnwick]\r\nMruCount=1\r\nMRU0=" + Utf8(gone) + "\r\n");
    Program tarnwick(sandbox, file);
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    const HWND edit = tarnwick.EditControl();
    const std::wstring badFormat = English(sandbox, IDS_BAD_FORMAT);
    const std::wstring errorCaption = English(sandbox, IDS_ERROR_CAPTION);
    auto expectStillTheFile = [&](const char* after) {
        SCOPED_TRACE(after);
        ExpectTitle(main, TitleFor(L"a.txt"));
        EXPECT_EQ(EditText(edit), L"kept");
    };

    SendCommand(main, IDM_FILE_OPEN);
    tarnwick.ChooseInDialog(L"Open", marked);
    tarnwick.Answer(badFormat, errorCaption, L"OK");
    expectStillTheFile("a failed Open");

    tarnwick.DropFiles(main, {marked});
    tarnwick.Answer(badFormat, errorCaption, L"OK");
    expectStillTheFile("a failed drop");

    tarnwick.DropFiles(edit, {sandbox.Folder() + std::wstring(260, L'n') + L".txt"});
    tarnwick.Answer(English(sandbox, IDS_NAME_TOO_LONG), English(sandbox, IDS_INFORMATION_CAPTION),
                    L"OK");
    expectStillTheFile("a drop of a name too long");

    SendCommand(main, IDM_FILE_RECENT_FIRST);
    tarnwick.Answer(English(sandbox, IDS_FILE_NOT_FOUND, gone), L"Tarnwick", L"OK");
    expectStillTheFile("a recent file that is gone");

    SendMessageW(edit, EM_SETSEL, 0, -1);
    InsertText(edit, L"changed");
    SendCommand(main, IDM_FILE_SAVE);
    ExpectFileBytes(file, "changed");
    ExpectTitle(main, TitleFor(L"a.txt"));
    tarnwick.CloseNormally();
}

} // namespace
