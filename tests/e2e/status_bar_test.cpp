// The status bar as the user types and moves: where the caret is, what the selection holds,
// the character after the caret, the modes and the encoding.
#include "language/resource_ids.h"
#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

constexpr int kPosition = 0;
constexpr int kLines = 1;
constexpr int kCharacter = 2;
constexpr int kMode = 3;
constexpr int kCaps = 4;
constexpr int kEncoding = 6;

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
    ASSERT_NE(main, nullptr);
    const auto bar = [main] { return FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr); };
    const auto expect = [main](int part, const std::wstring& shown) {
        ExpectStatusText(main, part, shown);
    };
    const auto position = [&](const wchar_t* line, const wchar_t* column, const wchar_t* length) {
        return Formatted(English(sandbox, IDS_STATUS_POSITION), line, column, length);
    };
    const std::wstring character = English(sandbox, IDS_STATUS_CHARACTER);
    ASSERT_NE(bar(), nullptr);
    expect(kPosition, position(L"1", L"1", L"0"));
    expect(kLines, English(sandbox, IDS_STATUS_LINES, L"2"));
    expect(kCharacter, Formatted(character, 'A', 'A'));
    expect(kMode, L" INS");
    expect(kEncoding, L" UTF-16 LE");
    tarnwick.ExpectDocument(Title(L"a.txt"), text, false);

    BringToFront(main);
    PressKey(VK_RIGHT);
    expect(kPosition, position(L"1", L"2", L"0"));
    expect(kCharacter, Formatted(character + L" 0x%.2X", 0xDE00D83Du, 0xD83Du, 0xDE00u));
    PressKey(VK_END);
    expect(kPosition, position(L"1", L"5", L"0"));
    expect(kCharacter, Formatted(character, '\r', '\r'));
    // Extending from a caret to the left reports the start that moves.
    PressKey(VK_HOME, {VK_SHIFT});
    expect(kPosition, position(L"1", L"1", L"4"));
    PressKey(VK_END, {VK_CONTROL});
    expect(kPosition, position(L"2", L"9", L"0"));
    expect(kCharacter, L""); // nothing follows the end of the text
    PressKey(VK_LEFT, {VK_SHIFT});
    PressKey(VK_LEFT, {VK_SHIFT});
    expect(kPosition, position(L"2", L"7", L"2"));
    EXPECT_EQ(WindowText(main), Title(L"a.txt"));

    TypeText(L"x");
    expect(kPosition, position(L"2", L"8", L"0"));
    ExpectTitle(main, Title(L"a.txt", true));
    PressKey(VK_INSERT);
    expect(kMode, L" OVR");
    PressKey(VK_INSERT);
    expect(kMode, L" INS");
    // Caps Lock is the whole session's: it is put back.
    PressKey(VK_CAPITAL);
    expect(kCaps, L" CAPS");
    PressKey(VK_CAPITAL);
    expect(kCaps, L" ");

    // Hidden, the bar gives its height to the text; shown again, it is filled at once.
    const HWND edit = tarnwick.EditControl();
    const LONG withBar = WindowRect(edit).bottom;
    SendCommand(main, IDM_VIEW_STATUS_BAR);
    EXPECT_TRUE(WaitUntil([&] { return bar() == nullptr; }));
    EXPECT_TRUE(WaitUntil([&] { return WindowRect(edit).bottom > withBar; }));
    EXPECT_TRUE(WaitUntil([&] { return sandbox.IniValue(L"Status") == L"0"; }));
    SendCommand(main, IDM_VIEW_STATUS_BAR);
    EXPECT_TRUE(WaitUntil([&] { return bar() != nullptr; }));
    expect(kPosition, position(L"2", L"8", L"0"));
    expect(kLines, English(sandbox, IDS_STATUS_LINES, L"2"));
    expect(kMode, L" INS");
    expect(kEncoding, L" UTF-16 LE");
    EXPECT_EQ(WindowRect(edit).bottom, withBar);
    EXPECT_TRUE(WaitUntil([&] { return sandbox.IniValue(L"Status") == L"1"; }));

    // Numbers in groups of three digits; Select All reports the end of the text.
    std::wstring breaks;
    for (int line = 1; line < 1234; ++line) {
        breaks += L"\r\n";
    }
    Retype(edit, breaks);
    expect(kLines, English(sandbox, IDS_STATUS_LINES, L"1 234"));
    expect(kPosition, position(L"1 234", L"1", L"0"));
    PressKey(VK_HOME, {VK_CONTROL, VK_SHIFT});
    expect(kPosition, position(L"1", L"1", L"2 466"));
    PressKey('A', {VK_CONTROL});
    expect(kPosition, position(L"1 234", L"1", L"2 466"));

    SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
    tarnwick.CloseNormally();
    EXPECT_EQ(sandbox.IniValue(L"MruCount"), L"0") << "the command line adds no recent file";
}

} // namespace
