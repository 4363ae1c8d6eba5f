// The text tools as a user works them: a selection made with the keys or the mouse, a command
// from the menu or its key, the rewritten text, and Undo taking each change back.
#include "language/resource_ids.h"
#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

namespace {

using Selection = std::pair<DWORD, DWORD>;

void ExpectDocument(HWND edit, const std::wstring& text, Selection selection) {
    ExpectText(edit, text);
    ExpectSelection(edit, selection);
}

std::wstring LocalNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t date[256];
    wchar_t time[512];
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_LONGDATE, &now, nullptr, date, 256);
    GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_FORCE24HOURFORMAT, &now, nullptr, time, 512);
    return std::wstring(time) + L" " + date;
}

TEST(TextTools, RewriteOnlyTheSelectionAndUndoTakesItBack) {
    Sandbox sandbox;
    const std::wstring original = L"Hello World 1\r\n\r\nsecond line";
    WriteBytes(sandbox / L"a.txt", "Hello World 1\r\n\r\nsecond line");
    Program tarnwick(sandbox, sandbox / L"a.txt");
    const HWND main = tarnwick.MainWindow();
    const HWND edit = tarnwick.EditControl();
    BringToFront(main);

    // Keys make the selection: two units and the line below.
    PressKey(VK_RIGHT, {VK_SHIFT});
    PressKey(VK_RIGHT, {VK_SHIFT});
    PressKey(VK_DOWN, {VK_SHIFT});
    ExpectDocument(edit, original, {0, 15});
    PressKey('U', {VK_CONTROL, VK_SHIFT});
    ExpectDocument(edit, L"HELLO WORLD 1\r\n\r\nsecond line", {0, 15});
    SendCommand(main, IDM_EDIT_UNDO);
    ExpectDocument(edit, original, {0, 15});

    struct Case {
        UINT command;
        Selection selection;
        std::wstring text;
        Selection after;
    };
    const Case cases[] = {
        {IDM_EDIT_LOWER_CASE, {0, 13}, L"hello world 1\r\n\r\nsecond line", {0, 13}},
        {IDM_EDIT_UPPER_CASE, {6, 11}, L"Hello WORLD 1\r\n\r\nsecond line", {6, 11}},
        {IDM_EDIT_INVERT_CASE, {0, 13}, L"hELLO wORLD 1\r\n\r\nsecond line", {0, 13}},
        {IDM_EDIT_REVERSE, {10, 19}, L"Hello Worles\r\n\r\n1 dcond line", {10, 19}},
        {IDM_HTML_BOLD, {5, 5}, L"Hello<b></b> World 1\r\n\r\nsecond line", {8, 8}},
        {IDM_HTML_ITALIC, {0, 5}, L"<i>Hello</i> World 1\r\n\r\nsecond line", {0, 12}},
        {IDM_HTML_PARAGRAPH, {0, 28}, L"<p>Hello World 1</p>\r\n<p>second line</p>", {0, 40}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        SendMessageW(edit, EM_SETSEL, c.selection.first, c.selection.second);
        SendCommand(main, c.command);
        ExpectDocument(edit, c.text, c.after);
        SendCommand(main, IDM_EDIT_UNDO);
        ExpectText(edit, original);
        // The control joins a deletion next to the text an Undo took out into one undo with
        // it; each case starts afresh.
        SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
    }
    ExpectTitle(main, L"* Tarnwick - a.txt");

    // The time and the date at the caret.
    SendMessageW(edit, EM_SETSEL, 0, 0);
    const std::wstring before = LocalNow();
    PressKey(VK_F5);
    EXPECT_TRUE(WaitUntil([&] { return EditText(edit).size() > original.size(); }));
    const std::wstring inserted = EditText(edit).substr(0, EditText(edit).size() - original.size());
    EXPECT_TRUE(inserted == before || inserted == LocalNow()) << Utf8(inserted);
    SendCommand(main, IDM_EDIT_UNDO);

    // Select Line takes the line break; Delete Line on the middle line, then on the last.
    SendMessageW(edit, EM_SETSEL, 0, 0);
    PressKey('L', {VK_CONTROL});
    ExpectDocument(edit, original, {0, 15});
    SendMessageW(edit, EM_SETSEL, 15, 15);
    PressKey('L', {VK_CONTROL, VK_SHIFT});
    ExpectDocument(edit, L"Hello World 1\r\nsecond line", {15, 15});
    PressKey(VK_END, {VK_CONTROL});
    PressKey('L', {VK_CONTROL, VK_SHIFT});
    ExpectDocument(edit, L"Hello World 1\r\n", {15, 15});

    // Wine's edit control breaks lines at a lone LF (Windows' does only with LF support switched
    // on): the line then ends at that LF, and Delete Line takes it and nothing of the next line.
    Retype(edit, L"one\ntwo\nthree");
    SendMessageW(edit, EM_SETSEL, 5, 5);
    PressKey('L', {VK_CONTROL, VK_SHIFT});
    ExpectDocument(edit, L"one\nthree", {4, 4});
    PressKey(VK_HOME, {VK_CONTROL});
    PressKey('L', {VK_CONTROL, VK_SHIFT});
    ExpectDocument(edit, L"three", {0, 0});
    tarnwick.CloseDiscarding(sandbox, sandbox / L"a.txt");
}

} // namespace
