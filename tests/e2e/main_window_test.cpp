// The main window as a user meets it: the document it opens, where it appears, what it
// remembers, the edit control's modes, fonts and colours, and how it closes.
#include "language/resource_ids.h"
#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

#include <array>
#include <future>

namespace {

using Geometry = std::array<LONG, 4>;
using Values = std::vector<std::wstring>;

// The window's outer rectangle as x, y, width and height.
Geometry GeometryOf(HWND window) {
    const RECT rect = WindowRect(window);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

TEST(Placement, AnOffScreenGeometryIsCorrectedASecondCopyCascadesAndTheLastPlacementIsSaved) {
    // The test screen is 1024 by 768: y is off it. The second copy, near the left edge, opens
    // to the right and is narrowed to stay on the screen.
    Sandbox sandbox;
    sandbox.WriteIni("[Tarnwick]\r\nx=10\r\ny=-5\r\nWidth=1000\r\nHeight=500\r\n");
    Program first(sandbox);
    const HWND firstWindow = first.MainWindow();
    ASSERT_NE(firstWindow, nullptr);
    EXPECT_EQ(GeometryOf(firstWindow), (Geometry{10, 100, 1000, 500}));
    Program second(sandbox);
    const HWND secondWindow = second.MainWindow();
    ASSERT_NE(secondWindow, nullptr);
    EXPECT_EQ(GeometryOf(secondWindow), (Geometry{40, 70, 984, 500}));

    // The user moves the second copy, then closes the first: the first saves where the
    // second now is, with the other exit keys and no other.
    SetWindowPos(secondWindow, nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(WaitUntil([&] { return WindowRect(secondWindow).left == 200; }));
    first.CloseNormally();
    EXPECT_EQ(
        sandbox.IniValues({L"x", L"y", L"Width", L"Height", L"MruCount", L"Maximized", L"FullScr"}),
        (Values{L"200", L"150", L"984", L"500", L"0", L"0", L"0"}));
    EXPECT_FALSE(sandbox.IniValue(L"Wrap")) << "only the exit keys are written at exit";

    // Maximized, the second copy records no size: it keeps the placement to restore.
    PostMessageW(secondWindow, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(secondWindow) != FALSE; }));
    second.CloseNormally();
    EXPECT_EQ(sandbox.IniValues({L"Maximized", L"x", L"y", L"Width", L"Height"}),
              (Values{L"1", L"200", L"150", L"984", L"500"}));
}

LONG_PTR Style(HWND window) {
    return GetWindowLongPtrW(window, GWL_STYLE);
}

// The colour of the edit control's empty area, read from the screen.
COLORREF BackgroundOnScreen(HWND edit) {
    const RECT rect = WindowRect(edit);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, rect.right - 40, rect.bottom - 40);
    ReleaseDC(nullptr, screen);
    return colour;
}

TEST(FormatAndOptions, TakeEffectAndAreWrittenAtOnceWhenConfirmedAndWordWrapKeepsTheDocument) {
    Sandbox sandbox;
    WriteBytes(sandbox / L"a.txt", "one two three\r\nfour");
    Program tarnwick(sandbox, sandbox / L"a.txt");
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    HWND edit = tarnwick.EditControl();
    ASSERT_TRUE(WaitUntil([&] { return BackgroundOnScreen(edit) == RGB(255, 255, 255); }));
    for (const auto& [command, caption] :
         {std::pair{IDM_FORMAT_FONT, L"Font"}, std::pair{IDM_OPTIONS_BACKGROUND_COLOR, L"Color"}}) {
        SendCommand(main, command);
        const HWND dialog = tarnwick.WaitForDialog(caption);
        ASSERT_NE(dialog, nullptr);
        PressDialogButton(dialog, IDCANCEL);
    }
    EXPECT_FALSE(FileExists(sandbox.Ini())) << "cancelling wrote settings";

    SendCommand(main, IDM_OPTIONS_BACKGROUND_COLOR);
    const HWND dialog = tarnwick.WaitForDialog(L"Color");
    ASSERT_NE(dialog, nullptr);
    // The red, green and blue fields of the full dialog.
    for (const auto& [field, value] :
         {std::pair{706, L"255"}, std::pair{707, L"0"}, std::pair{708, L"0"}}) {
        SendDlgItemMessageW(dialog, field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value));
    }
    PressDialogButton(dialog, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return sandbox.IniValue(L"BkgColor") == L"255"; }))
        << Utf8(sandbox.IniValue(L"BkgColor").value_or(L"absent"));
    EXPECT_EQ(sandbox.IniValues({L"TxtColor", L"Name"}), (Values{L"(absent)", L"(absent)"}))
        << "only the chosen colour is written";
    EXPECT_TRUE(WaitUntil([&] { return BackgroundOnScreen(edit) == RGB(255, 0, 0); }))
        << std::hex << BackgroundOnScreen(edit);

    // Word wrap re-creates the control, without the horizontal scroll bar.
    EXPECT_NE(Style(edit) & WS_HSCROLL, 0) << "word wrap is off by default";
    SendMessageW(edit, EM_SETSEL, 4, 7);
    SendMessageW(edit, EM_SETMODIFY, TRUE, 0);
    SendCommand(main, IDM_FORMAT_WORD_WRAP);
    ASSERT_TRUE(WaitUntil([&] { return tarnwick.EditControl() != edit; }));
    edit = tarnwick.EditControl();
    EXPECT_EQ(Style(edit) & WS_HSCROLL, 0);
    EXPECT_NE(GetWindowLongPtrW(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0)
        << "a re-created control has a client edge";
    EXPECT_EQ(sandbox.IniValue(L"Wrap"), L"1") << "written at once";
    EXPECT_TRUE(WaitUntil([&] { return BackgroundOnScreen(edit) == RGB(255, 0, 0); }))
        << "the re-created control lost the colour";

    SendCommand(main, IDM_FORMAT_WORD_WRAP);
    ASSERT_TRUE(WaitUntil([&] { return tarnwick.EditControl() != edit; }));
    edit = tarnwick.EditControl();
    EXPECT_NE(Style(edit) & WS_HSCROLL, 0);
    EXPECT_EQ(EditText(edit), L"one two three\r\nfour");
    EXPECT_EQ(EditSelection(edit), (std::pair<DWORD, DWORD>{4, 7}));
    EXPECT_NE(SendMessageW(edit, EM_GETMODIFY, 0, 0), 0);
    EXPECT_EQ(SendMessageW(edit, EM_CANUNDO, 0, 0), 0);
    EXPECT_EQ(sandbox.IniValue(L"Wrap"), L"0");
    SendCommand(main, IDM_OPTIONS_CENTER_AFTER_FIND);
    EXPECT_TRUE(WaitUntil([&] { return sandbox.IniValue(L"CenterVertAfterFind") == L"1"; }));
    SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
    tarnwick.CloseNormally();
}

TEST(Typing, ANewDocumentIsMarkedUntilEmptyInsertSwitchesOverwriteAndClosingAsksFirst) {
    // The longest name the command line takes, 259 units, relative to the program's folder:
    // as a full path it is too long, and refused as such rather than cut.
    Sandbox sandbox;
    const std::wstring name = std::wstring(255, L'n') + L".txt";
    Program tarnwick(sandbox, Quoted(name));
    tarnwick.Answer(English(sandbox, IDS_NAME_TOO_LONG), L"Tarnwick", L"OK");
    const std::wstring untitled = Untitled(sandbox);
    tarnwick.ExpectDocument(Title(untitled), L"", false);
    const HWND main = tarnwick.MainWindow();
    const HWND edit = tarnwick.EditControl();
    EXPECT_EQ(GeometryOf(main), (Geometry{120, 100, 870, 534})) << "the default placement";
    EXPECT_TRUE(tarnwick.Windows(L"#32770").empty());
    BringToFront(main);
    TypeText(L"a");
    ExpectTitle(main, Title(untitled, true));
    PressKey(VK_BACK);
    ExpectTitle(main, Title(untitled));
    auto expectText = [&](const std::wstring& text) {
        tarnwick.ExpectDocument(Title(untitled, true), text, true);
    };

    InsertText(edit, L"abc\r\ndef");
    SendMessageW(edit, EM_SETSEL, 0, 0);
    TypeText(L"x");
    ASSERT_TRUE(WaitUntil([&] { return EditText(edit) == L"xabc\r\ndef"; }))
        << Utf8(EditText(edit));
    PressKey(VK_INSERT);
    TypeText(L"y");
    expectText(L"xybc\r\ndef");
    // At the end of a line the next line is joined to it before the character goes in.
    SendMessageW(edit, EM_SETSEL, 4, 4);
    TypeText(L"z");
    expectText(L"xybczdef");
    // Enter inserts a line break and deletes nothing.
    PressKey(VK_RETURN);
    expectText(L"xybcz\r\ndef");

    // Ctrl+Insert copies and Shift+Insert pastes without switching the mode; Alt+Insert does
    // nothing, so typing still overwrites.
    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard());
    SendMessageW(edit, EM_SETSEL, 0, 2);
    PressKey(VK_INSERT, {VK_CONTROL});
    PressKey(VK_END, {VK_CONTROL});
    PressKey(VK_INSERT, {VK_SHIFT});
    expectText(L"xybcz\r\ndefxy");
    PressKey(VK_INSERT, {VK_MENU});
    SendMessageW(edit, EM_SETSEL, 0, 0);
    TypeText(L"!");
    expectText(L"!ybcz\r\ndefxy");

    // The end of the session asks about the changes too, and waits for the answer.
    auto ask = [main] {
        DWORD_PTR answer = 2;
        SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, 0, 0, 20000, &answer);
        return answer;
    };
    auto refused = std::async(std::launch::async, ask);
    tarnwick.AnswerSaveQuestion(sandbox, untitled, L"Cancel");
    EXPECT_EQ(refused.get(), DWORD_PTR{FALSE});
    EXPECT_TRUE(tarnwick.Running());
    EXPECT_FALSE(FileExists(sandbox.Ini()));
    auto allowed = std::async(std::launch::async, ask);
    tarnwick.AnswerSaveQuestion(sandbox, untitled, L"&No");
    EXPECT_EQ(allowed.get(), DWORD_PTR{TRUE});
    EXPECT_EQ(sandbox.IniValue(L"x"), L"120") << "the settings are saved for the session's end";

    // The exit item is a command the window does not know: it closes after the same question.
    SendCommand(main, IDM_FILE_EXIT);
    tarnwick.AnswerSaveQuestion(sandbox, untitled, L"&No");
    EXPECT_EQ(tarnwick.WaitForExit(), 0u);
}

} // namespace
