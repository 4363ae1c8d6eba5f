// The text tools as a user works them: a selection made with the keys or the mouse, a command
// from the menu or its key, the rewritten text, and Undo taking each change back.
#include "language/resource_ids.h"
#include "tests/e2e/driver.h"

namespace {

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
    WriteBytes(sandbox / L"a.txt", Utf8(original));
    Program tarnwick(sandbox, sandbox / L"a.txt");
    const HWND main = tarnwick.MainWindow();
    const HWND edit = tarnwick.EditControl();
    BringToFront(main);
    Keys(L"Shift+Right Shift+Right Shift+Down Ctrl+Shift+U");
    ExpectText(edit, L"HELLO WORLD 1\r\n\r\nsecond line");
    ExpectSelection(edit, {0, 15});
    SendCommand(main, IDM_EDIT_UNDO);
    ExpectText(edit, original);
    ExpectSelection(edit, {0, 15});

    // A selection (kAny: the one before), a command or its keys, the text and the selection
    // after it; then Undo gives the original back, unless the row goes on from its result.
    // The control joins a deletion next to the text an Undo took out into one undo with it:
    // each row starts with an empty undo.
    const struct {
        Selection selection;
        const wchar_t* keys;
        UINT command;
        std::wstring text;
        Selection after;
        bool undo = true;
    } rows[] = {
        {{0, 13}, L"", IDM_EDIT_LOWER_CASE, L"hello world 1\r\n\r\nsecond line", {0, 13}},
        {{6, 11}, L"", IDM_EDIT_UPPER_CASE, L"Hello WORLD 1\r\n\r\nsecond line", {6, 11}},
        {{0, 13}, L"", IDM_EDIT_INVERT_CASE, L"hELLO wORLD 1\r\n\r\nsecond line", {0, 13}},
        {{10, 19}, L"", IDM_EDIT_REVERSE, L"Hello Worles\r\n\r\n1 dcond line", {10, 19}},
        {{5, 5}, L"", IDM_HTML_BOLD, L"Hello<b></b> World 1\r\n\r\nsecond line", {8, 8}},
        {{0, 5}, L"", IDM_HTML_ITALIC, L"<i>Hello</i> World 1\r\n\r\nsecond line", {0, 12}},
        {{0, 28}, L"", IDM_HTML_PARAGRAPH, L"<p>Hello World 1</p>\r\n<p>second line</p>", {0, 40}},
        // Select Line takes the line break; Delete Line on the middle line, then on the last.
        {{0, 0}, L"Ctrl+L", 0, original, {0, 15}, false},
        {{15, 15}, L"Ctrl+Shift+L", 0, L"Hello World 1\r\nsecond line", {15, 15}, false},
        {kAny, L"Ctrl+End Ctrl+Shift+L", 0, L"Hello World 1\r\n", {15, 15}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(Utf8(row.keys) + " " + std::to_string(row.command));
        SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
        if (row.selection != kAny) {
            SendMessageW(edit, EM_SETSEL, row.selection.first, row.selection.second);
        }
        Keys(row.keys);
        if (row.command != 0) {
            SendCommand(main, row.command);
        }
        ExpectText(edit, row.text);
        ExpectSelection(edit, row.after);
        if (row.undo) {
            SendCommand(main, IDM_EDIT_UNDO);
            ExpectText(edit, original);
        }
    }
    ExpectTitle(main, Title(L"a.txt", true));

    // The time and the date at the caret.
    const std::wstring rest = EditText(edit);
    SendMessageW(edit, EM_SETSEL, 0, 0);
    const std::wstring before = LocalNow();
    Keys(L"F5");
    EXPECT_TRUE(WaitUntil([&] { return EditText(edit).size() > rest.size(); }));
    const std::wstring text = EditText(edit);
    const std::wstring inserted = text.substr(0, text.size() - rest.size());
    EXPECT_TRUE(inserted == before || inserted == LocalNow()) << Utf8(inserted);
    EXPECT_EQ(text.substr(inserted.size()), rest);

    // Wine's edit control breaks lines at a lone LF (Windows' does only with LF support switched
    // on): the line then ends at that LF, and Delete Line takes it and nothing of the next line.
    Retype(edit, L"one\ntwo\nthree");
    SendMessageW(edit, EM_SETSEL, 5, 5);
    Keys(L"Ctrl+Shift+L");
    ExpectText(edit, L"one\nthree");
    ExpectSelection(edit, {4, 4});
    Keys(L"Ctrl+Home Ctrl+Shift+L");
    ExpectText(edit, L"three");
    ExpectSelection(edit, {0, 0});
    tarnwick.CloseDiscarding(sandbox, sandbox / L"a.txt");
}

} // namespace
