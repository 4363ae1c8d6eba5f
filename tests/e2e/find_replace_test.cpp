// Find, Replace, search again and Go To Line as a user works them: the system's dialogs filled
// and clicked, the matches selected in the document, the messages read, the settings written.
#include "language/resource_ids.h"
#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

#include <dlgs.h>

namespace {

// A button of a modeless dialog, clicked without waiting: a message box may follow.
void Click(HWND dialog, int id) {
    PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void Fill(HWND dialog, int id, const std::wstring& text) {
    SendDlgItemMessageW(dialog, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool Checked(HWND dialog, int id) {
    return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void ExpectIni(const Sandbox& sandbox, const std::wstring& key, const std::wstring& value) {
    std::optional<std::wstring> seen;
    EXPECT_TRUE(WaitUntil([&] { return (seen = sandbox.IniValue(key)) == value; }))
        << Utf8(key) << " is " << (seen ? Utf8(*seen) : "missing") << ", awaited " << Utf8(value);
}

HWND Focus(HWND main) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info);
    return info.hwndFocus;
}

void ExpectGone(HWND dialog) {
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); })) << "the dialog stayed open";
}

// Message 11, shown while neither the dialog nor the main window takes input.
void ExpectNothingFound(const Program& tarnwick, const Sandbox& sandbox) {
    const MessageBoxView box = tarnwick.WaitForMessageBox();
    EXPECT_EQ(box.text, English(sandbox, IDS_SEARCH_NOT_FOUND));
    EXPECT_EQ(box.caption, English(sandbox, IDS_INFORMATION_CAPTION));
    EXPECT_FALSE(IsWindowEnabled(tarnwick.MainWindow())) << "the text is in use by the search";
    tarnwick.Press(box, L"OK");
}

// Ctrl+H in the main window, and the Replace dialog's two fields filled.
HWND OpenReplaceDialog(const Program& tarnwick, const std::wstring& find,
                       const std::wstring& replacement) {
    BringToFront(tarnwick.MainWindow());
    PressKey('H', {VK_CONTROL});
    const HWND replace = tarnwick.WaitForDialog(L"Replace");
    if (replace != nullptr) {
        Fill(replace, edt1, find);
        Fill(replace, edt2, replacement);
    }
    return replace;
}

template <class Text> Text Repeated(const Text& piece, int count) {
    Text text;
    for (int i = 0; i < count; ++i) {
        text += piece;
    }
    return text;
}

void ExpectReport(const Program& tarnwick, const Sandbox& sandbox, const std::wstring& count) {
    tarnwick.Answer(English(sandbox, IDS_REPLACE_ALL_COUNT, count), L"Tarnwick", L"OK");
}

TEST(Find, SearchesBothWaysWithAndWithoutCaseAndWritesTheChoices) {
    Sandbox sandbox;
    Program tarnwick(sandbox);
    const HWND main = tarnwick.MainWindow();
    const HWND edit = tarnwick.EditControl();
    BringToFront(main);
    // The Edit menu opened on an empty document grays the search commands; typing makes
    // their keys work again.
    PressKey('E', {VK_MENU});
    PressKey(VK_ESCAPE);
    PressKey(VK_ESCAPE);
    TypeText(L"alpha beta Alpha beta alpha");
    ExpectText(edit, L"alpha beta Alpha beta alpha");
    PressKey('F', {VK_CONTROL});
    const HWND find = tarnwick.WaitForDialog(L"Find");
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(Checked(find, chx2));
    EXPECT_TRUE(Checked(find, rad2));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(find, chx1))) << "whole words are not offered";

    Fill(find, edt1, L"alpha");
    Click(find, IDOK);
    ExpectNothingFound(tarnwick, sandbox);
    ExpectSelection(edit, {27, 27});

    Click(find, rad1);
    ExpectIni(sandbox, L"FindDirection", L"0");
    Click(find, IDOK);
    ExpectSelection(edit, {22, 27});
    Click(find, IDOK);
    ExpectSelection(edit, {0, 5});

    Click(find, chx2);
    ExpectIni(sandbox, L"FindCase", L"0");
    Click(find, rad2);
    ExpectIni(sandbox, L"FindDirection", L"1");
    Click(find, IDOK);
    ExpectSelection(edit, {11, 16});

    Click(find, IDCANCEL);
    ExpectGone(find);
    EXPECT_TRUE(WaitUntil([&] { return Focus(main) == edit; })) << "the focus is not in the text";

    // The selection "Alpha" becomes the search string; case is now ignored.
    PressKey(VK_F3);
    ExpectSelection(edit, {22, 27});
    PressKey(VK_F3, {VK_SHIFT});
    ExpectSelection(edit, {11, 16});
    PressKey(VK_F3, {VK_SHIFT});
    ExpectSelection(edit, {0, 5});
    PressKey(VK_F3, {VK_SHIFT});
    ExpectNothingFound(tarnwick, sandbox);
    ExpectSelection(edit, {0, 5});
    EXPECT_TRUE(WaitUntil([&] { return Focus(main) == edit; }));
    tarnwick.CloseDiscarding(sandbox, Untitled(sandbox));
    EXPECT_EQ(sandbox.IniValue(L"FindString"), L"alpha");
}

TEST(FindAgain, TakesTheSelectionUpTo128UnitsAcrossLineBreaks) {
    Sandbox sandbox;
    const std::string tail(130, 'w');
    WriteBytes(sandbox / L"a.txt", "foo bar\r\nfoo bar\r\nfoo end\r\n" + tail);
    sandbox.WriteIni("[Tarnwick]\r\nFindString=\r\n");
    Program tarnwick(sandbox, sandbox / L"a.txt");
    const HWND main = tarnwick.MainWindow();
    const HWND edit = tarnwick.EditControl();
    BringToFront(main);

    // Nothing to search for yet: the Find dialog opens, set for the command's direction.
    PressKey(VK_F3, {VK_SHIFT});
    HWND find = tarnwick.WaitForDialog(L"Find");
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(Checked(find, rad1));
    Click(find, IDCANCEL);
    ExpectGone(find);

    SendMessageW(edit, EM_SETSEL, 4, 12); // "bar\r\nfoo"
    PressKey(VK_F3);
    ExpectSelection(edit, {13, 21});
    PressKey(VK_F3, {VK_SHIFT});
    ExpectSelection(edit, {4, 12});

    // A selection of 129 units or more leaves the search string as it was.
    PressKey('A', {VK_CONTROL});
    ExpectSelection(edit, {0, 157});
    PressKey(VK_F3);
    ExpectSelection(edit, {4, 12});

    const DWORD w = 27;
    SendMessageW(edit, EM_SETSEL, w, w + 128);
    PressKey(VK_F3);
    ExpectSelection(edit, {w + 1, w + 129});
    SendMessageW(edit, EM_SETSEL, w, w + 129);
    PressKey(VK_F3);
    ExpectSelection(edit, {w, w + 128});
    tarnwick.CloseNormally();
}

TEST(Replace, ReplacesOneByOneThenAllAndTakesItBack) {
    Sandbox sandbox;
    WriteBytes(sandbox / L"a.txt", "one two one two one");
    Program tarnwick(sandbox, sandbox / L"a.txt");
    const HWND main = tarnwick.MainWindow();
    const HWND edit = tarnwick.EditControl();
    const HWND replace = OpenReplaceDialog(tarnwick, L"one", L"three");
    ASSERT_NE(replace, nullptr);

    // The caret is no occurrence: the first click only selects one.
    Click(replace, psh1);
    ExpectSelection(edit, {0, 3});
    EXPECT_EQ(EditText(edit), L"one two one two one");
    Click(replace, psh1);
    ExpectText(edit, L"three two one two one");
    ExpectSelection(edit, {10, 13});
    Click(replace, psh1);
    ExpectSelection(edit, {20, 23});
    Click(replace, psh1);
    ExpectNothingFound(tarnwick, sandbox);
    ExpectText(edit, L"three two three two three");
    ExpectSelection(edit, {20, 25});
    ExpectTitle(main, L"* Tarnwick - a.txt");

    Fill(replace, edt1, L"two");
    Fill(replace, edt2, L"2");
    Click(replace, psh2);
    ExpectReport(tarnwick, sandbox, L"2");
    ExpectText(edit, L"three 2 three 2 three");
    SendCommand(main, IDM_EDIT_UNDO);
    ExpectText(edit, L"three two three two three");
    ExpectTitle(main, L"* Tarnwick - a.txt");

    // Typing after a Replace All: Undo takes back the typing, not the Replace All.
    Click(replace, psh2);
    ExpectReport(tarnwick, sandbox, L"2");
    ExpectText(edit, L"three 2 three 2 three");
    SendMessageW(edit, EM_SETSEL, 0, 0);
    InsertText(edit, L"!");
    SendCommand(main, IDM_EDIT_UNDO);
    ExpectText(edit, L"three 2 three 2 three");

    Fill(replace, edt1, L"zzz");
    Click(replace, psh2);
    ExpectNothingFound(tarnwick, sandbox);
    Click(replace, IDCANCEL);
    ExpectGone(replace);
    tarnwick.CloseDiscarding(sandbox, sandbox / L"a.txt");
    EXPECT_EQ(sandbox.IniValue(L"ReplaceString"), L"2");
}

TEST(ReplaceAll, ReportsGroupedCountsAndItsUndoStaysWithItsDocument) {
    Sandbox sandbox;
    const std::string text = Repeated<std::string>("ab ", 1234);
    WriteBytes(sandbox / L"a.txt", text);
    WriteBytes(sandbox / L"b.txt", "another file");
    Program tarnwick(sandbox, sandbox / L"a.txt");
    const HWND main = tarnwick.MainWindow();
    const HWND edit = tarnwick.EditControl();
    const HWND replace = OpenReplaceDialog(tarnwick, L"ab", L"abc");
    ASSERT_NE(replace, nullptr);
    Click(replace, psh2);
    ExpectReport(tarnwick, sandbox, L"1 234");
    ExpectText(edit, Repeated<std::wstring>(L"abc ", 1234));
    SendCommand(main, IDM_EDIT_UNDO);
    ExpectText(edit, std::wstring(text.begin(), text.end()));

    // Replace All, then another document: Undo must not bring the first one's text into it.
    Click(replace, psh2);
    ExpectReport(tarnwick, sandbox, L"1 234");
    tarnwick.DropFiles(main, {sandbox / L"b.txt"});
    tarnwick.AnswerSaveQuestion(sandbox, sandbox / L"a.txt", L"&No");
    ExpectTitle(main, L"Tarnwick - b.txt");
    SendCommand(main, IDM_EDIT_UNDO);
    SendCommand(main, IDM_EDIT_SELECT_ALL);
    ExpectSelection(edit, {0, 12});
    EXPECT_EQ(EditText(edit), L"another file");
    ExpectTitle(main, L"Tarnwick - b.txt");
    tarnwick.CloseNormally();
}

TEST(GoToLine, CentresFoundLinesAndTakesOnlyLinesTheTextHas) {
    Sandbox sandbox;
    std::string text;
    for (int line = 1; line <= 300; ++line) {
        text += "line " + std::to_string(line) + (line < 300 ? "\r\n" : "");
    }
    WriteBytes(sandbox / L"a.txt", text);
    sandbox.WriteIni("[Tarnwick]\r\nCenterVertAfterFind=1\r\n");
    Program tarnwick(sandbox, sandbox / L"a.txt");
    const HWND main = tarnwick.MainWindow();
    const HWND edit = tarnwick.EditControl();
    BringToFront(main);

    PressKey('F', {VK_CONTROL});
    const HWND find = tarnwick.WaitForDialog(L"Find");
    ASSERT_NE(find, nullptr);
    Fill(find, edt1, L"line 100");
    Click(find, IDOK);
    const auto start = static_cast<DWORD>(SendMessageW(edit, EM_LINEINDEX, 99, 0));
    ExpectSelection(edit, {start, start + 8});
    // The found line sits in the middle of the lines that fit in the control.
    const int first = static_cast<int>(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
    const auto top = [&](int line) {
        const LPARAM index = SendMessageW(edit, EM_LINEINDEX, line, 0);
        return static_cast<short>(HIWORD(SendMessageW(edit, EM_POSFROMCHAR, index, 0)));
    };
    RECT client;
    GetClientRect(edit, &client);
    const int visible = client.bottom / (top(first + 1) - top(first));
    EXPECT_EQ(first, 99 - visible / 2) << visible << " lines visible";
    Click(find, IDCANCEL);
    ExpectGone(find);

    PressKey('G', {VK_CONTROL});
    HWND dialog = tarnwick.WaitForDialog(L"Go To Line");
    ASSERT_NE(dialog, nullptr);
    ExpectCentredOver(dialog, main);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_GOTO_LINE_NUMBER)), L"100");
    Fill(dialog, IDC_GOTO_LINE_NUMBER, L"300");
    Click(dialog, IDC_GOTO_LINE_OK);
    ExpectGone(dialog);
    const auto last = static_cast<DWORD>(SendMessageW(edit, EM_LINEINDEX, 299, 0));
    ExpectSelection(edit, {last, last});

    PressKey('G', {VK_CONTROL});
    dialog = tarnwick.WaitForDialog(L"Go To Line");
    ASSERT_NE(dialog, nullptr);
    const HWND field = GetDlgItem(dialog, IDC_GOTO_LINE_NUMBER);
    for (const wchar_t* refused : {L"301", L"0", L"x7"}) {
        Fill(dialog, IDC_GOTO_LINE_NUMBER, refused);
        Click(dialog, IDC_GOTO_LINE_OK);
        tarnwick.Answer(English(sandbox, IDS_GOTO_LINE_ERROR), English(sandbox, IDS_ERROR_CAPTION),
                        L"OK");
        std::wstring shown;
        EXPECT_TRUE(WaitUntil([&] { return (shown = WindowText(field)) == L"300"; }))
            << "after " << Utf8(refused) << " the field shows " << Utf8(shown);
    }
    Fill(dialog, IDC_GOTO_LINE_NUMBER, L"299");
    Click(dialog, IDCANCEL);
    ExpectGone(dialog);
    ExpectSelection(edit, {last, last});
    EXPECT_TRUE(WaitUntil([&] { return Focus(main) == edit; }));
    tarnwick.CloseNormally();
}

} // namespace
