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

HWND Focus(HWND main) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info);
    return info.hwndFocus;
}

// The message that nothing was found, shown while neither the dialog nor the main window takes
// input.
void ExpectNothingFound(const Program& tarnwick, const Sandbox& sandbox) {
    const MessageBoxView box = tarnwick.WaitForMessageBox();
    EXPECT_EQ(box.text, English(sandbox, IDS_SEARCH_NOT_FOUND));
    EXPECT_EQ(box.caption, English(sandbox, IDS_INFORMATION_CAPTION));
    EXPECT_FALSE(IsWindowEnabled(tarnwick.MainWindow())) << "the text is in use by the search";
    tarnwick.Press(box, L"OK");
}

void ExpectReport(const Program& tarnwick, const Sandbox& sandbox, const std::wstring& count) {
    tarnwick.Answer(English(sandbox, IDS_REPLACE_ALL_COUNT, count), L"Tarnwick", L"OK");
}

TEST(Find, SearchesBothWaysWithAndWithoutCaseAndAgainWithTheSelectionAsTheString) {
    Sandbox sandbox;
    sandbox.WriteIni("[Tarnwick]\r\nFindString=\r\n");
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
    // Nothing to search for yet: searching again opens the Find dialog, set for the command's
    // direction; Ctrl+F opens it as the settings say.
    PressKey(VK_F3, {VK_SHIFT});
    HWND find = tarnwick.WaitForDialog(L"Find");
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(Checked(find, rad1));
    PressDialogButton(find, IDCANCEL);
    PressKey('F', {VK_CONTROL});
    find = tarnwick.WaitForDialog(L"Find");
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(Checked(find, chx2));
    EXPECT_TRUE(Checked(find, rad2));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(find, chx1))) << "whole words are not offered";

    Fill(find, edt1, L"alpha");
    Click(find, IDOK);
    ExpectNothingFound(tarnwick, sandbox);
    ExpectSelection(edit, {27, 27});
    Click(find, rad1);
    Click(find, IDOK);
    ExpectSelection(edit, {22, 27});
    Click(find, IDOK);
    ExpectSelection(edit, {0, 5});
    Click(find, chx2);
    Click(find, rad2);
    Click(find, IDOK);
    ExpectSelection(edit, {11, 16});
    PressDialogButton(find, IDCANCEL);
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

    // A selection across line breaks is taken; one of 129 units or more leaves the string.
    Retype(edit, L"foo bar\r\nfoo bar\r\nfoo end\r\n" + std::wstring(130, L'w'));
    SendMessageW(edit, EM_SETSEL, 4, 12); // "bar\r\nfoo"
    PressKey(VK_F3);
    ExpectSelection(edit, {13, 21});
    PressKey(VK_F3, {VK_SHIFT});
    ExpectSelection(edit, {4, 12});
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
    tarnwick.CloseDiscarding(sandbox, Untitled(sandbox));
    EXPECT_EQ(sandbox.IniValues({L"FindString", L"FindCase", L"FindDirection"}),
              (std::vector<std::wstring>{std::wstring(128, L'w'), L"0", L"1"}));
}

TEST(Replace, OneByOneThenAllWithAGroupedCountAndUndoStaysWithItsDocument) {
    Sandbox sandbox;
    WriteBytes(sandbox / L"a.txt", "one two one two one");
    WriteBytes(sandbox / L"b.txt", "another file");
    Program tarnwick(sandbox, sandbox / L"a.txt");
    const HWND main = tarnwick.MainWindow();
    const HWND edit = tarnwick.EditControl();
    BringToFront(main);
    PressKey('H', {VK_CONTROL});
    const HWND replace = tarnwick.WaitForDialog(L"Replace");
    ASSERT_NE(replace, nullptr);
    Fill(replace, edt1, L"one");
    Fill(replace, edt2, L"three");

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

    // The count in groups of three digits; then another document, into which Undo must not
    // bring the first one's text.
    std::wstring many;
    for (int i = 0; i < 1234; ++i) {
        many += L"ab ";
    }
    Retype(edit, many);
    Fill(replace, edt1, L"ab");
    Fill(replace, edt2, L"abc");
    Click(replace, psh2);
    ExpectReport(tarnwick, sandbox, L"1 234");
    EXPECT_EQ(EditText(edit).size(), 4 * 1234u);
    PressDialogButton(replace, IDCANCEL);
    tarnwick.DropFiles(main, {sandbox / L"b.txt"});
    tarnwick.AnswerSaveQuestion(sandbox, sandbox / L"a.txt", L"&No");
    ExpectTitle(main, L"Tarnwick - b.txt");
    SendCommand(main, IDM_EDIT_UNDO);
    SendCommand(main, IDM_EDIT_SELECT_ALL);
    ExpectSelection(edit, {0, 12});
    EXPECT_EQ(EditText(edit), L"another file");
    ExpectTitle(main, L"Tarnwick - b.txt");
    tarnwick.CloseNormally();
    EXPECT_EQ(sandbox.IniValue(L"ReplaceString"), L"abc");
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
    PressDialogButton(find, IDCANCEL);

    PressKey('G', {VK_CONTROL});
    HWND dialog = tarnwick.WaitForDialog(L"Go To Line");
    ASSERT_NE(dialog, nullptr);
    ExpectCentredOver(dialog, main);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_GOTO_LINE_NUMBER)), L"100");
    Fill(dialog, IDC_GOTO_LINE_NUMBER, L"300");
    PressDialogButton(dialog, IDC_GOTO_LINE_OK);
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
    PressDialogButton(dialog, IDCANCEL);
    ExpectSelection(edit, {last, last});
    EXPECT_TRUE(WaitUntil([&] { return Focus(main) == edit; }));
    tarnwick.CloseNormally();
}

} // namespace
