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

class StatusBarView {
  public:
    StatusBarView(const Sandbox& sandbox, HWND main) : sandbox_(sandbox), main_(main) {}

    HWND Bar() const { return FindWindowExW(main_, nullptr, STATUSCLASSNAMEW, nullptr); }

    void Expect(int part, const std::wstring& text) const { ExpectStatusText(main_, part, text); }
    void ExpectPosition(const wchar_t* line, const wchar_t* column, const wchar_t* length) const {
        Expect(kPosition, Formatted(English(sandbox_, IDS_STATUS_POSITION), line, column, length));
    }
    void ExpectCharacter(unsigned code) const {
        Expect(kCharacter, Formatted(English(sandbox_, IDS_STATUS_CHARACTER), code, code));
    }

  private:
    const Sandbox& sandbox_;
    HWND main_;
};

TEST(StatusBar, FollowsTheCaretTheSelectionTheTextAndTheModes) {
    Sandbox sandbox;
    // "A", U+1F600 (a surrogate pair), "b", then a second line, in UTF-16 LE.
    const std::wstring text = L"A\xD83D\xDE00"
                              L"b\r\nline two";
    WriteBytes(sandbox / L"a.txt", Utf16LeFile(text));
    Program tarnwick(sandbox, sandbox / L"a.txt");
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    const StatusBarView status(sandbox, main);
    ASSERT_NE(status.Bar(), nullptr);
    status.ExpectPosition(L"1", L"1", L"0");
    status.Expect(kLines, English(sandbox, IDS_STATUS_LINES, L"2"));
    status.ExpectCharacter('A');
    status.Expect(kMode, L" INS");
    status.Expect(kEncoding, L" UTF-16 LE");
    tarnwick.ExpectDocument(Title(L"a.txt"), text, false);

    BringToFront(main);
    PressKey(VK_RIGHT);
    status.ExpectPosition(L"1", L"2", L"0");
    status.Expect(kCharacter, Formatted(English(sandbox, IDS_STATUS_CHARACTER) + L" 0x%.2X",
                                        0xDE00D83Du, 0xD83Du, 0xDE00u));
    PressKey(VK_END);
    status.ExpectPosition(L"1", L"5", L"0");
    status.ExpectCharacter('\r');
    // Extending from a caret to the left reports the start that moves.
    PressKey(VK_HOME, {VK_SHIFT});
    status.ExpectPosition(L"1", L"1", L"4");
    PressKey(VK_END, {VK_CONTROL});
    status.ExpectPosition(L"2", L"9", L"0");
    status.Expect(kCharacter, L""); // nothing follows the end of the text
    PressKey(VK_LEFT, {VK_SHIFT});
    PressKey(VK_LEFT, {VK_SHIFT});
    status.ExpectPosition(L"2", L"7", L"2");
    EXPECT_EQ(WindowText(main), Title(L"a.txt"));

    TypeText(L"x");
    status.ExpectPosition(L"2", L"8", L"0");
    ExpectTitle(main, Title(L"a.txt", true));
    SendCommand(main, IDM_ENCODING_ANSI);
    status.Expect(kEncoding, L" ANSI");

    PressKey(VK_INSERT);
    status.Expect(kMode, L" OVR");
    PressKey(VK_INSERT);
    status.Expect(kMode, L" INS");
    // Caps Lock is the whole session's: it is put back.
    PressKey(VK_CAPITAL);
    status.Expect(kCaps, L" CAPS");
    PressKey(VK_CAPITAL);
    status.Expect(kCaps, L" ");

    // Hidden, the bar gives its height to the text; shown again, it is filled at
    // once.
    const HWND edit = tarnwick.EditControl();
    const LONG withBar = WindowRect(edit).bottom;
    SendCommand(main, IDM_VIEW_STATUS_BAR);
    EXPECT_TRUE(WaitUntil([&] { return status.Bar() == nullptr; }));
    EXPECT_TRUE(WaitUntil([&] { return WindowRect(edit).bottom > withBar; }));
    EXPECT_TRUE(WaitUntil([&] { return sandbox.IniValue(L"Status") == L"0"; }));
    SendCommand(main, IDM_VIEW_STATUS_BAR);
    EXPECT_TRUE(WaitUntil([&] { return status.Bar() != nullptr; }));
    status.ExpectPosition(L"2", L"8", L"0");
    status.Expect(kLines, English(sandbox, IDS_STATUS_LINES, L"2"));
    status.Expect(kMode, L" INS");
    status.Expect(kEncoding, L" ANSI");
    EXPECT_EQ(WindowRect(edit).bottom, withBar);
    EXPECT_TRUE(WaitUntil([&] { return sandbox.IniValue(L"Status") == L"1"; }));

    SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
    tarnwick.CloseNormally();
    EXPECT_EQ(sandbox.IniValue(L"MruCount"), L"0") << "the command line adds no recent file";
}

TEST(StatusBar, GroupsTheDigitsOfLargeNumbers) {
    Sandbox sandbox;
    std::string breaks(2 * 1234566, '\n');
    for (std::size_t i = 0; i < breaks.size(); i += 2) {
        breaks[i] = '\r';
    }
    WriteBytes(sandbox / L"lines.txt", breaks);
    Program tarnwick(sandbox, sandbox / L"lines.txt");
    const HWND main = tarnwick.MainWindow(30000);
    ASSERT_NE(main, nullptr);
    const StatusBarView status(sandbox, main);
    status.Expect(kLines, English(sandbox, IDS_STATUS_LINES, L"1 234 567"));
    BringToFront(main);
    PressKey(VK_END, {VK_CONTROL});
    status.ExpectPosition(L"1 234 567", L"1", L"0");
    PressKey(VK_HOME, {VK_CONTROL, VK_SHIFT});
    status.ExpectPosition(L"1", L"1", L"2 469 132");
    tarnwick.CloseNormally();
}

} // namespace
