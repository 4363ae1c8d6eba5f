// Find, Replace, search again and Go To Line as a user works them through the system's dialogs.
#include "tests/e2e/driver.h"

namespace {

// One step of a search: the dialog's buttons clicked or the keys pressed, then the message
// box it brings up (with the count it reports), and the text and the selection it leaves.
struct Step {
    std::vector<int> clicks;
    const wchar_t* keys = L"";
    Selection selection = kAny;
    UINT box = 0;
    const wchar_t* count = L"";
    const wchar_t* text = nullptr;
};

void Walk(const Program& tarnwick, const DialogView& dialog, std::initializer_list<Step> steps) {
    const HWND edit = tarnwick.EditControl();
    for (const Step& step : steps) {
        SCOPED_TRACE(Utf8(step.keys) + " " + std::to_string(step.clicks.size()) + " clicks");
        for (int id : step.clicks) {
            dialog.Click(id);
        }
        Keys(step.keys);
        if (step.box == IDS_SEARCH_NOT_FOUND) {
            tarnwick.WaitForMessageBox();
            EXPECT_FALSE(IsWindowEnabled(tarnwick.MainWindow()))
                << "the text is in use by the search";
        }
        if (step.box != 0) {
            tarnwick.Box(step.box, IDS_INFORMATION_CAPTION, L"OK", step.count);
        }
        if (step.text != nullptr) {
            ExpectText(edit, step.text);
        }
        if (step.selection != kAny) {
            ExpectSelection(edit, step.selection);
        }
    }
}

void ExpectFocusInText(const Program& tarnwick) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    ExpectSoon("the focus", tarnwick.EditControl(), [&] {
        GetGUIThreadInfo(GetWindowThreadProcessId(tarnwick.MainWindow(), nullptr), &info);
        return info.hwndFocus;
    });
}

TEST(Find, SearchesBothWaysWithAndWithoutCaseAndAgainWithTheSelectionAsTheString) {
    Sandbox sandbox;
    sandbox.WriteIni("[Tarnwick]\r\nFindString=\r\n");
    Program tarnwick(sandbox);
    const HWND edit = tarnwick.EditControl();
    BringToFront(tarnwick.MainWindow());
    // The Edit menu opened on an empty document grays the search commands; typing revives them.
    Keys(L"Alt+E Esc Esc");
    TypeText(L"alpha beta Alpha beta alpha");
    // Nothing to search for yet: searching again opens the Find dialog, set for the command's
    // direction; Ctrl+F opens it as the settings say.
    Keys(L"Shift+F3");
    DialogView find = tarnwick.Dialog(L"Find");
    EXPECT_TRUE(find.Checked(rad1));
    find.Press(IDCANCEL);
    Keys(L"Ctrl+F");
    find = tarnwick.Dialog(L"Find");
    EXPECT_EQ(std::pair(find.Checked(chx2), find.Checked(rad2)), std::pair(true, true))
        << "match case, down";
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(find.window, chx1))) << "whole words are not offered";
    find.Fill(edt1, L"alpha");
    Walk(tarnwick, find,
         {{{IDOK}, L"", {27, 27}, IDS_SEARCH_NOT_FOUND},
          {{rad1, IDOK}, L"", {22, 27}},
          {{IDOK}, L"", {0, 5}},
          {{chx2, rad2, IDOK}, L"", {11, 16}}});
    find.Press(IDCANCEL);
    ExpectFocusInText(tarnwick);

    // The selection "Alpha" becomes the search string; case is now ignored.
    Walk(tarnwick, find,
         {{{}, L"F3", {22, 27}},
          {{}, L"Shift+F3", {11, 16}},
          {{}, L"Shift+F3", {0, 5}},
          {{}, L"Shift+F3", {0, 5}, IDS_SEARCH_NOT_FOUND}});
    ExpectFocusInText(tarnwick);

    // A selection across line breaks is taken; one of 129 units or more leaves the string.
    Retype(edit, L"foo bar\r\nfoo bar\r\nfoo end\r\n" + std::wstring(130, L'w'));
    SendMessageW(edit, EM_SETSEL, 4, 12); // "bar\r\nfoo"
    Walk(tarnwick, find, {{{}, L"F3", {13, 21}}, {{}, L"Shift+F3", {4, 12}}});
    SendMessageW(edit, EM_SETSEL, 27, 27 + 128);
    Walk(tarnwick, find, {{{}, L"F3", {28, 28 + 128}}});
    SendMessageW(edit, EM_SETSEL, 27, 27 + 129);
    Walk(tarnwick, find, {{{}, L"F3", {27, 27 + 128}}});
    tarnwick.CloseDiscarding(Untitled(sandbox));
    sandbox.ExpectIni(L"FindString=" + std::wstring(128, L'w') + L" FindCase=0 FindDirection=1");
}

// Go To Line first, on a text of 300 lines, then Replace on a short one.
TEST(Replace, GoToLineCentresAndTakesOnlyLinesTheTextHasThenReplaceAllCountsAndUndoStaysPut) {
    Sandbox sandbox;
    std::string text = "line 1";
    for (int line = 2; line <= 300; ++line) {
        text += "\r\nline " + std::to_string(line);
    }
    WriteBytes(sandbox / L"a.txt", text);
    WriteBytes(sandbox / L"b.txt", "another file");
    sandbox.WriteIni("[Tarnwick]\r\nCenterVertAfterFind=1\r\n");
    Program tarnwick(sandbox, sandbox / L"a.txt");
    const HWND main = tarnwick.MainWindow();
    const HWND edit = tarnwick.EditControl();
    const auto lineStart = [edit](int line) {
        return static_cast<DWORD>(SendMessageW(edit, EM_LINEINDEX, line, 0));
    };
    BringToFront(main);

    Keys(L"Ctrl+F");
    const DialogView find = tarnwick.Dialog(L"Find");
    find.Fill(edt1, L"line 100");
    Walk(tarnwick, find, {{{IDOK}, L"", {lineStart(99), lineStart(99) + 8}}});
    // The found line sits in the middle of the lines that fit in the control.
    const int first = static_cast<int>(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
    const auto top = [&](int line) {
        return static_cast<short>(HIWORD(SendMessageW(edit, EM_POSFROMCHAR, lineStart(line), 0)));
    };
    RECT client;
    GetClientRect(edit, &client);
    const int visible = client.bottom / (top(first + 1) - top(first));
    EXPECT_EQ(first, 99 - visible / 2) << visible << " lines visible";
    find.Press(IDCANCEL);

    Keys(L"Ctrl+G");
    DialogView dialog = tarnwick.Dialog(L"Go To Line");
    ExpectCentredOver(dialog.window, main);
    EXPECT_EQ(dialog.Text(IDC_GOTO_LINE_NUMBER), L"100");
    dialog.Fill(IDC_GOTO_LINE_NUMBER, L"300");
    dialog.Press(IDC_GOTO_LINE_OK);
    ExpectSelection(edit, {lineStart(299), lineStart(299)});

    Keys(L"Ctrl+G");
    dialog = tarnwick.Dialog(L"Go To Line");
    for (const wchar_t* refused : {L"301", L"0", L"x7"}) {
        SCOPED_TRACE(Utf8(refused));
        dialog.Fill(IDC_GOTO_LINE_NUMBER, refused);
        dialog.Click(IDC_GOTO_LINE_OK);
        tarnwick.Box(IDS_GOTO_LINE_ERROR, IDS_ERROR_CAPTION, L"OK");
        ExpectSoon("the field", std::wstring(L"300"),
                   [&] { return dialog.Text(IDC_GOTO_LINE_NUMBER); });
    }
    dialog.Fill(IDC_GOTO_LINE_NUMBER, L"299");
    dialog.Press(IDCANCEL);
    ExpectSelection(edit, {lineStart(299), lineStart(299)});
    ExpectFocusInText(tarnwick);

    Retype(edit, L"one two one two one");
    SendMessageW(edit, EM_SETSEL, 0, 0);
    Keys(L"Ctrl+H");
    const DialogView replace = tarnwick.Dialog(L"Replace");
    replace.Fill(edt1, L"one");
    replace.Fill(edt2, L"three");
    // The caret is no occurrence: the first click only selects one.
    Walk(tarnwick, replace,
         {{{psh1}, L"", {0, 3}, 0, L"", L"one two one two one"},
          {{psh1}, L"", {10, 13}, 0, L"", L"three two one two one"},
          {{psh1}, L"", {20, 23}},
          {{psh1}, L"", {20, 25}, IDS_SEARCH_NOT_FOUND, L"", L"three two three two three"}});
    ExpectTitle(main, Title(L"a.txt", true));

    replace.Fill(edt1, L"two");
    replace.Fill(edt2, L"2");
    Walk(tarnwick, replace,
         {{{psh2}, L"", kAny, IDS_REPLACE_ALL_COUNT, L"2", L"three 2 three 2 three"}});
    SendCommand(main, IDM_EDIT_UNDO);
    ExpectText(edit, L"three two three two three");

    // Typing after a Replace All: Undo takes back the typing, not the Replace All.
    Walk(tarnwick, replace,
         {{{psh2}, L"", kAny, IDS_REPLACE_ALL_COUNT, L"2", L"three 2 three 2 three"}});
    SendMessageW(edit, EM_SETSEL, 0, 0);
    InsertText(edit, L"!");
    SendCommand(main, IDM_EDIT_UNDO);
    ExpectText(edit, L"three 2 three 2 three");
    replace.Fill(edt1, L"zzz");
    Walk(tarnwick, replace, {{{psh2}, L"", kAny, IDS_SEARCH_NOT_FOUND}});

    // The count grouped by threes; then another document, into which Undo must not bring this.
    Retype(edit, std::wstring(1234, L'a'));
    replace.Fill(edt1, L"a");
    replace.Fill(edt2, L"ab");
    Walk(tarnwick, replace, {{{psh2}, L"", kAny, IDS_REPLACE_ALL_COUNT, L"1 234"}});
    EXPECT_EQ(EditText(edit).size(), 2 * 1234u);
    replace.Press(IDCANCEL);
    tarnwick.DropFiles(main, {sandbox / L"b.txt"});
    tarnwick.Ask(sandbox / L"a.txt", L"&No");
    ExpectTitle(main, Title(L"b.txt"));
    SendCommand(main, IDM_EDIT_UNDO);
    SendCommand(main, IDM_EDIT_SELECT_ALL);
    ExpectSelection(edit, {0, 12});
    EXPECT_EQ(EditText(edit), L"another file");
    tarnwick.CloseNormally();
    sandbox.ExpectIni(L"ReplaceString=ab");
}

} // namespace
