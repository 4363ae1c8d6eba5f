// One document worked by a user: the status bar as they type and move, the text tools, Undo.
#include "tests/e2e/driver.h"

#include <commctrl.h>

namespace {

// The status bar's parts, and the window's title read along with them.
enum Part { kTitle = -1, kPosition, kLines, kCharacter, kMode, kCaps, kEncoding = 6 };

// A language template filled as the program fills it.
template <typename... Arguments>
std::wstring Formatted(const std::wstring& pattern, Arguments... arguments) {
    wchar_t text[1025];
    wsprintfW(text, pattern.c_str(), arguments...);
    return text;
}

std::wstring LocalNow() {
    wchar_t date[256], time[512];
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_LONGDATE, nullptr, nullptr, date, 256);
    GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_FORCE24HOURFORMAT, nullptr, nullptr, time, 512);
    return std::wstring(time) + L" " + date;
}

TEST(StatusBarAndTextTools, FollowTheCaretAndTheModesAndRewriteOnlyTheSelection) {
    Sandbox sandbox;
    // "A", U+1F600 (a surrogate pair), "b", then a second line, in UTF-16 LE.
    const std::wstring text = L"A\U0001F600b\r\nline two";
    WriteBytes(sandbox / L"a.txt", Utf16LeFile(text));
    Program tarnwick(sandbox, sandbox / L"a.txt");
    const HWND main = tarnwick.MainWindow();
    const HWND edit = tarnwick.EditControl();
    const auto bar = [main] { return FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr); };
    const auto at = [&](const wchar_t* line, const wchar_t* column, const wchar_t* length) {
        return Formatted(English(sandbox, IDS_STATUS_POSITION), line, column, length);
    };
    const std::wstring code = English(sandbox, IDS_STATUS_CHARACTER);
    const std::wstring twoLines = English(sandbox, IDS_STATUS_LINES, L"2");
    tarnwick.ExpectDocument(Title(L"a.txt"), text, false);
    BringToFront(main);

    // Keys, then the parts they change. Extending from a caret to the left reports the start
    // that moves; nothing follows the end of the text; moves leave the document unmodified; Caps
    // Lock is the whole session's and is put back.
    const struct {
        const wchar_t* keys;
        std::vector<std::pair<Part, std::wstring>> shown;
    } steps[] = {
        {L"", {{kPosition, at(L"1", L"1", L"0")}, {kLines, twoLines}, {kMode, L" INS"}}},
        {L"", {{kCharacter, Formatted(code, 'A', 'A')}, {kEncoding, L" UTF-16 LE"}}},
        {L"Right", {{kPosition, at(L"1", L"2", L"0")}}},
        {L"", {{kCharacter, Formatted(code + L" 0x%.2X", 0xDE00D83Du, 0xD83Du, 0xDE00u)}}},
        {L"End", {{kPosition, at(L"1", L"5", L"0")}, {kCharacter, Formatted(code, '\r', '\r')}}},
        {L"Shift+Home", {{kPosition, at(L"1", L"1", L"4")}}},
        {L"Ctrl+End", {{kPosition, at(L"2", L"9", L"0")}, {kCharacter, L""}}},
        {L"", {{kTitle, Title(L"a.txt")}}},
        {L"X", {{kPosition, at(L"2", L"10", L"0")}, {kTitle, Title(L"a.txt", true)}}},
        {L"Insert", {{kMode, L" OVR"}}},
        {L"Insert", {{kMode, L" INS"}}},
        {L"Caps", {{kCaps, L" CAPS"}}},
        {L"Caps", {{kCaps, L" "}}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(Utf8(step.keys));
        Keys(step.keys);
        for (const auto& [part, shown] : step.shown) {
            part == kTitle ? ExpectTitle(main, shown) : ExpectStatusText(main, part, shown);
        }
    }

    // Hidden, the bar gives its height to the text; shown again, it is filled at once.
    const LONG withBar = WindowRect(edit).bottom;
    SendCommand(main, IDM_VIEW_STATUS_BAR);
    ExpectSoon("the bar", HWND{}, bar);
    EXPECT_TRUE(WaitUntil([&] { return WindowRect(edit).bottom > withBar; }));
    sandbox.ExpectIni(L"Status=0");
    SendCommand(main, IDM_VIEW_STATUS_BAR);
    ExpectStatusText(main, kPosition, at(L"2", L"10", L"0"));
    ExpectStatusText(main, kEncoding, L" UTF-16 LE");
    EXPECT_EQ(WindowRect(edit).bottom, withBar);
    sandbox.ExpectIni(L"Status=1");

    // Numbers in groups of three digits; Select All reports the end of the text.
    std::wstring breaks;
    while (breaks.size() < 2 * 1233) {
        breaks += L"\r\n";
    }
    Retype(edit, breaks);
    ExpectStatusText(main, kLines, English(sandbox, IDS_STATUS_LINES, L"1 234"));
    Keys(L"Ctrl+A");
    ExpectStatusText(main, kPosition, at(L"1 234", L"1", L"2 466"));

    // The text tools rewrite only the selection.
    const std::wstring original = L"Hello World 1\r\n\r\nsecond line";
    Retype(edit, original);
    // A selection (kAny: the one before), a command or its keys, the text and selection after;
    // then Undo gives the original back unless the row goes on from its result. The control joins
    // a deletion next to text an Undo took out into one undo with it: rows start with none.
    const struct {
        Selection selection;
        const wchar_t* keys;
        UINT command;
        std::wstring text;
        Selection after;
        bool undo = true;
        const wchar_t* from = nullptr; // a text put in first
    } rows[] = {
        {{0, 0}, L"Shift+Down Ctrl+Shift+U", 0, L"HELLO WORLD 1\r\n\r\nsecond line", {0, 15}},
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
        // Wine's edit control breaks lines at a lone LF (Windows' only with LF support on): the
        // line ends at that LF, and Delete Line takes it and nothing of the next line.
        {{5, 5}, L"Ctrl+Shift+L", 0, L"one\nthree", {4, 4}, false, L"one\ntwo\nthree"},
        {kAny, L"Ctrl+Home Ctrl+Shift+L", 0, L"three", {0, 0}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(Utf8(row.keys) + " " + std::to_string(row.command));
        if (row.from != nullptr) {
            Retype(edit, row.from);
        }
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

    // The time and the date at the caret, left at the start by the last row.
    const std::wstring before = LocalNow();
    Keys(L"F5");
    EXPECT_TRUE(WaitUntil([&] {
        return EditText(edit) == before + L"three" || EditText(edit) == LocalNow() + L"three";
    })) << Utf8(EditText(edit));
    tarnwick.CloseDiscarding(sandbox / L"a.txt");
    sandbox.ExpectIni(L"MruCount=0"); // the command line adds no recent file
}

} // namespace
