// The status bar as the user types and moves: where the caret is, what the selection holds,
// the character after the caret, the modes and the encoding.
#include "language/resource_ids.h"
#include "tests/e2e/driver.h"

#include <commctrl.h>

namespace {

enum Part { kPosition = 0, kLines = 1, kCharacter = 2, kMode = 3, kCaps = 4, kEncoding = 6 };

// A language template filled as the program fills it.
template <typename... Arguments>
std::wstring Formatted(const std::wstring& pattern, Arguments... arguments) {
    wchar_t text[1025];
    wsprintfW(text, pattern.c_str(), arguments...);
    return text;
}

TEST(StatusBar, FollowsTheCaretTheSelectionTheTextAndTheModes) {
    Sandbox sandbox;
    // "A", U+1F600 (a surrogate pair), "b", then a second line, in UTF-16 LE.
    const std::wstring text = L"A\xD83D\xDE00"
                              L"b\r\nline two";
    WriteBytes(sandbox / L"a.txt", Utf16LeFile(text));
    Program tarnwick(sandbox, sandbox / L"a.txt");
    const HWND main = tarnwick.MainWindow();
    const HWND edit = tarnwick.EditControl();
    const auto bar = [main] { return FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr); };
    const auto at = [&](const wchar_t* line, const wchar_t* column, const wchar_t* length) {
        return Formatted(English(sandbox, IDS_STATUS_POSITION), line, column, length);
    };
    const std::wstring character = English(sandbox, IDS_STATUS_CHARACTER);
    const std::wstring twoLines = English(sandbox, IDS_STATUS_LINES, L"2");
    tarnwick.ExpectDocument(Title(L"a.txt"), text, false);
    BringToFront(main);

    // Keys, then the parts they change. Extending from a caret to the left reports the start
    // that moves; nothing follows the end of the text; Caps Lock is the whole session's and is
    // put back.
    const struct {
        const wchar_t* keys;
        std::vector<std::pair<Part, std::wstring>> shown;
    } steps[] = {
        {L"",
         {{kPosition, at(L"1", L"1", L"0")},
          {kLines, twoLines},
          {kCharacter, Formatted(character, 'A', 'A')},
          {kMode, L" INS"},
          {kEncoding, L" UTF-16 LE"}}},
        {L"Right",
         {{kPosition, at(L"1", L"2", L"0")},
          {kCharacter, Formatted(character + L" 0x%.2X", 0xDE00D83Du, 0xD83Du, 0xDE00u)}}},
        {L"End",
         {{kPosition, at(L"1", L"5", L"0")}, {kCharacter, Formatted(character, '\r', '\r')}}},
        {L"Shift+Home", {{kPosition, at(L"1", L"1", L"4")}}},
        {L"Ctrl+End", {{kPosition, at(L"2", L"9", L"0")}, {kCharacter, L""}}},
        {L"Shift+Left Shift+Left", {{kPosition, at(L"2", L"7", L"2")}}},
        {L"X", {{kPosition, at(L"2", L"8", L"0")}}},
        {L"Insert", {{kMode, L" OVR"}}},
        {L"Insert", {{kMode, L" INS"}}},
        {L"Caps", {{kCaps, L" CAPS"}}},
        {L"Caps", {{kCaps, L" "}}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(Utf8(step.keys));
        Keys(step.keys);
        for (const auto& [part, shown] : step.shown) {
            ExpectStatusText(main, part, shown);
        }
    }
    ExpectTitle(main, Title(L"a.txt", true));

    // Hidden, the bar gives its height to the text; shown again, it is filled at once.
    const LONG withBar = WindowRect(edit).bottom;
    SendCommand(main, IDM_VIEW_STATUS_BAR);
    ExpectSoon("the bar", HWND{}, bar);
    EXPECT_TRUE(WaitUntil([&] { return WindowRect(edit).bottom > withBar; }));
    sandbox.ExpectIni(L"Status=0");
    SendCommand(main, IDM_VIEW_STATUS_BAR);
    EXPECT_TRUE(WaitUntil([&] { return bar() != nullptr; }));
    const std::pair<Part, std::wstring> refilled[] = {{kPosition, at(L"2", L"8", L"0")},
                                                      {kLines, twoLines},
                                                      {kMode, L" INS"},
                                                      {kEncoding, L" UTF-16 LE"}};
    for (const auto& [part, shown] : refilled) {
        ExpectStatusText(main, part, shown);
    }
    EXPECT_EQ(WindowRect(edit).bottom, withBar);
    sandbox.ExpectIni(L"Status=1");

    // Numbers in groups of three digits; Select All reports the end of the text.
    std::wstring breaks;
    while (breaks.size() < 2 * 1233) {
        breaks += L"\r\n";
    }
    Retype(edit, breaks);
    ExpectStatusText(main, kLines, English(sandbox, IDS_STATUS_LINES, L"1 234"));
    ExpectStatusText(main, kPosition, at(L"1 234", L"1", L"0"));
    Keys(L"Ctrl+Shift+Home");
    ExpectStatusText(main, kPosition, at(L"1", L"1", L"2 466"));
    Keys(L"Ctrl+A");
    ExpectStatusText(main, kPosition, at(L"1 234", L"1", L"2 466"));

    SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
    tarnwick.CloseNormally();
    sandbox.ExpectIni(L"MruCount=0"); // the command line adds no recent file
}

} // namespace
