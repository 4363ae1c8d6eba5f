// The main window as a user meets it: the document it opens, where it appears, what it
// remembers, the edit control's modes, fonts and colours, and how it closes.
#include "language/resource_ids.h"
#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

#include <future>

namespace {

std::wstring UntitledTitle(const Sandbox& sandbox) {
    return L"Tarnwick - " + English(sandbox, IDS_UNTITLED);
}

void ExpectRect(RECT rect, LONG x, LONG y, LONG width, LONG height) {
    EXPECT_EQ(rect.left, x);
    EXPECT_EQ(rect.top, y);
    EXPECT_EQ(rect.right - rect.left, width);
    EXPECT_EQ(rect.bottom - rect.top, height);
}

TEST(MainWindow, ReportsAMissingFileAndStartsANewDocument) {
    Sandbox sandbox;
    const std::wstring missing = sandbox / L"missing.txt";
    Program tarnwick(sandbox, missing);
    const MessageBoxView box = tarnwick.WaitForMessageBox();
    EXPECT_EQ(box.text, English(sandbox, IDS_FILE_NOT_FOUND, missing));
    EXPECT_EQ(box.caption, L"Tarnwick");
    tarnwick.Press(box, L"OK");
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(WindowText(main), UntitledTitle(sandbox));
    EXPECT_EQ(EditText(tarnwick.EditControl()), L"");
    tarnwick.CloseNormally();
}

TEST(Placement, OpensAtTheDefaultsAndSavesTheExitKeys) {
    Sandbox sandbox;
    Program tarnwick(sandbox);
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    ExpectRect(WindowRect(main), 120, 100, 870, 534);
    tarnwick.CloseNormally();
    EXPECT_EQ(sandbox.IniValue(L"x"), L"120");
    EXPECT_EQ(sandbox.IniValue(L"y"), L"100");
    EXPECT_EQ(sandbox.IniValue(L"Width"), L"870");
    EXPECT_EQ(sandbox.IniValue(L"Height"), L"534");
    EXPECT_EQ(sandbox.IniValue(L"MruCount"), L"0");
    EXPECT_EQ(sandbox.IniValue(L"Maximized"), L"0");
    EXPECT_EQ(sandbox.IniValue(L"FullScr"), L"0");
    EXPECT_TRUE(sandbox.IniValue(L"FindString"));
    EXPECT_TRUE(sandbox.IniValue(L"ReplaceString"));
    EXPECT_FALSE(sandbox.IniValue(L"Wrap")) << "only the exit keys are written at exit";
}

TEST(Placement, CorrectsAGeometryOffTheScreen) {
    // The test screen is 1024 by 768.
    Sandbox sandbox;
    sandbox.WriteIni("[Tarnwick]\r\nx=-5\r\ny=100\r\nWidth=5000\r\nHeight=0\r\n");
    Program tarnwick(sandbox);
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    const RECT rect = WindowRect(main);
    EXPECT_EQ(rect.left, 120);
    EXPECT_EQ(rect.right - rect.left, 770);
    tarnwick.CloseNormally();
}

TEST(Placement, ASecondCopyOpensThirtyPixelsAwayAndTheLastPlacementIsSaved) {
    Sandbox sandbox;
    Program first(sandbox);
    const HWND firstWindow = first.MainWindow();
    ASSERT_NE(firstWindow, nullptr);
    Program second(sandbox);
    const HWND secondWindow = second.MainWindow();
    ASSERT_NE(secondWindow, nullptr);
    ExpectRect(WindowRect(secondWindow), 90, 70, 870, 534);

    // The user moves the second copy, then closes the first: the first saves where the
    // second now is.
    SetWindowPos(secondWindow, nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(WaitUntil([&] { return WindowRect(secondWindow).left == 200; }));
    first.CloseNormally();
    EXPECT_EQ(sandbox.IniValue(L"x"), L"200");
    EXPECT_EQ(sandbox.IniValue(L"y"), L"150");
    second.CloseNormally();
}

TEST(Placement, ASecondCopyNearTheLeftEdgeOpensToTheRightAndStaysOnTheScreen) {
    for (const auto& [width, expectedWidth] : {std::pair{800, 800}, std::pair{1000, 984}}) {
        Sandbox sandbox;
        sandbox.WriteIni("[Tarnwick]\r\nx=10\r\ny=50\r\nWidth=" + std::to_string(width) +
                         "\r\nHeight=500\r\n");
        Program first(sandbox);
        ASSERT_NE(first.MainWindow(), nullptr);
        Program second(sandbox);
        const HWND secondWindow = second.MainWindow();
        ASSERT_NE(secondWindow, nullptr);
        ExpectRect(WindowRect(secondWindow), 40, 20, expectedWidth, 500);
        second.CloseNormally();
        first.CloseNormally();
    }
}

TEST(Placement, MaximizingIsRememberedWithoutRecordingItsSize) {
    Sandbox sandbox;
    Program tarnwick(sandbox);
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(main) != FALSE; }));
    tarnwick.CloseNormally();
    EXPECT_EQ(sandbox.IniValue(L"Maximized"), L"1");
    EXPECT_EQ(sandbox.IniValue(L"x"), L"120");
    EXPECT_EQ(sandbox.IniValue(L"Width"), L"870");
    EXPECT_EQ(sandbox.IniValue(L"Height"), L"534");
}

LONG_PTR Style(HWND window) {
    return GetWindowLongPtrW(window, GWL_STYLE);
}
LONG_PTR ExStyle(HWND window) {
    return GetWindowLongPtrW(window, GWL_EXSTYLE);
}

TEST(WordWrap, SwitchesTheScrollBarKeepsTheDocumentAndIsWrittenAtOnce) {
    Sandbox sandbox;
    WriteBytes(sandbox / L"a.txt", "one two three\r\nfour");
    Program tarnwick(sandbox, sandbox / L"a.txt");
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    HWND edit = tarnwick.EditControl();
    EXPECT_NE(Style(edit) & WS_HSCROLL, 0) << "word wrap is off by default";
    SendMessageW(edit, EM_SETSEL, 4, 7);
    SendMessageW(edit, EM_SETMODIFY, TRUE, 0);

    SendCommand(main, IDM_FORMAT_WORD_WRAP);
    ASSERT_TRUE(WaitUntil([&] { return tarnwick.EditControl() != edit; }));
    edit = tarnwick.EditControl();
    EXPECT_EQ(Style(edit) & WS_HSCROLL, 0);
    EXPECT_NE(ExStyle(edit) & WS_EX_CLIENTEDGE, 0) << "a re-created control has a client edge";
    EXPECT_EQ(sandbox.IniValue(L"Wrap"), L"1") << "written at once";

    SendCommand(main, IDM_FORMAT_WORD_WRAP);
    ASSERT_TRUE(WaitUntil([&] { return tarnwick.EditControl() != edit; }));
    edit = tarnwick.EditControl();
    EXPECT_NE(Style(edit) & WS_HSCROLL, 0);
    EXPECT_EQ(EditText(edit), L"one two three\r\nfour");
    EXPECT_EQ(EditSelection(edit), (std::pair<DWORD, DWORD>{4, 7}));
    EXPECT_NE(SendMessageW(edit, EM_GETMODIFY, 0, 0), 0);
    EXPECT_EQ(SendMessageW(edit, EM_CANUNDO, 0, 0), 0);
    EXPECT_EQ(sandbox.IniValue(L"Wrap"), L"0");
    // The other switches of the menus are written at once too.
    SendCommand(main, IDM_OPTIONS_CENTER_AFTER_FIND);
    EXPECT_TRUE(WaitUntil([&] { return sandbox.IniValue(L"CenterVertAfterFind") == L"1"; }));

    SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
    tarnwick.CloseNormally();
}

std::wstring ClipboardText() {
    std::wstring text;
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* units = static_cast<const wchar_t*>(GlobalLock(data))) {
                text = units;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
    }
    return text;
}

TEST(Typing, InsertKeysSwitchOverwriteModeCopyAndPaste) {
    Sandbox sandbox;
    WriteBytes(sandbox / L"a.txt", "abc\r\ndef");
    Program tarnwick(sandbox, sandbox / L"a.txt");
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    const HWND edit = tarnwick.EditControl();
    BringToFront(main);
    SendMessageW(edit, EM_SETSEL, 0, 0);
    TypeText(L"x");
    ASSERT_TRUE(WaitUntil([&] { return EditText(edit) == L"xabc\r\ndef"; }))
        << Utf8(EditText(edit));

    PressKey(VK_INSERT);
    TypeText(L"y");
    EXPECT_TRUE(WaitUntil([&] { return EditText(edit) == L"xybc\r\ndef"; }))
        << Utf8(EditText(edit));
    // At the end of a line the next line is joined to it before the character goes in.
    SendMessageW(edit, EM_SETSEL, 4, 4);
    TypeText(L"z");
    EXPECT_TRUE(WaitUntil([&] { return EditText(edit) == L"xybczdef"; })) << Utf8(EditText(edit));
    // Enter inserts a line break and deletes nothing.
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return EditText(edit) == L"xybcz\r\ndef"; }))
        << Utf8(EditText(edit));

    // Ctrl+Insert copies and Shift+Insert pastes without switching the mode; Alt+Insert does
    // nothing, so typing still overwrites.
    SendMessageW(edit, EM_SETSEL, 0, 2);
    PressKey(VK_INSERT, {VK_CONTROL});
    EXPECT_TRUE(WaitUntil([] { return ClipboardText() == L"xy"; })) << Utf8(ClipboardText());
    SendMessageW(edit, EM_SETSEL, 10, 10);
    PressKey(VK_INSERT, {VK_SHIFT});
    EXPECT_TRUE(WaitUntil([&] { return EditText(edit) == L"xybcz\r\ndefxy"; }))
        << Utf8(EditText(edit));
    PressKey(VK_INSERT, {VK_MENU});
    SendMessageW(edit, EM_SETSEL, 0, 0);
    TypeText(L"!");
    EXPECT_TRUE(WaitUntil([&] { return EditText(edit) == L"!ybcz\r\ndefxy"; }))
        << Utf8(EditText(edit));

    SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
    tarnwick.CloseNormally();
}

TEST(Fonts, ConfirmingTheFontDialogStoresTheFontAndCancellingStoresNothing) {
    Sandbox sandbox;
    Program tarnwick(sandbox);
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);

    SendCommand(main, IDM_FORMAT_FONT);
    HWND dialog = tarnwick.WaitForDialog(L"Font");
    ASSERT_NE(dialog, nullptr);
    PressDialogButton(dialog, IDCANCEL);
    EXPECT_FALSE(FileExists(sandbox.Ini())) << "cancelling wrote settings";

    SendCommand(main, IDM_FORMAT_FONT);
    dialog = tarnwick.WaitForDialog(L"Font");
    ASSERT_NE(dialog, nullptr);
    PressDialogButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return sandbox.IniValue(L"Name").has_value(); }));
    EXPECT_TRUE(sandbox.IniValue(L"FontHeight"));
    EXPECT_TRUE(sandbox.IniValue(L"Family"));
    EXPECT_FALSE(sandbox.IniValue(L"BkgColor"));
    tarnwick.CloseNormally();
}

// The colour of the edit control's empty area, read from the screen.
COLORREF BackgroundOnScreen(HWND edit) {
    const RECT rect = WindowRect(edit);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, rect.right - 40, rect.bottom - 40);
    ReleaseDC(nullptr, screen);
    return colour;
}

TEST(Colours, ABackgroundColourChosenInTheDialogIsShownAndStoredAtOnce) {
    Sandbox sandbox;
    Program tarnwick(sandbox);
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    const HWND edit = tarnwick.EditControl();
    ASSERT_TRUE(WaitUntil([&] { return BackgroundOnScreen(edit) == RGB(255, 255, 255); }));

    SendCommand(main, IDM_OPTIONS_BACKGROUND_COLOR);
    HWND dialog = tarnwick.WaitForDialog(L"Color");
    ASSERT_NE(dialog, nullptr);
    PressDialogButton(dialog, IDCANCEL);
    EXPECT_FALSE(sandbox.IniValue(L"BkgColor"));

    SendCommand(main, IDM_OPTIONS_BACKGROUND_COLOR);
    dialog = tarnwick.WaitForDialog(L"Color");
    ASSERT_NE(dialog, nullptr);
    // The red, green and blue fields of the full dialog.
    SendMessageW(GetDlgItem(dialog, 706), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"255"));
    SendMessageW(GetDlgItem(dialog, 707), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"0"));
    SendMessageW(GetDlgItem(dialog, 708), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"0"));
    PressDialogButton(dialog, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return sandbox.IniValue(L"BkgColor") == L"255"; }))
        << Utf8(sandbox.IniValue(L"BkgColor").value_or(L"absent"));
    EXPECT_TRUE(WaitUntil([&] { return BackgroundOnScreen(edit) == RGB(255, 0, 0); }))
        << std::hex << BackgroundOnScreen(edit);
    tarnwick.CloseNormally();
}

TEST(Closing, AnUnknownCommandClosesTheWindowAfterTheSaveQuestion) {
    Sandbox sandbox;
    Program tarnwick(sandbox);
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    const HWND edit = tarnwick.EditControl();
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"unsaved"));
    SendCommand(main, IDM_FILE_EXIT);
    const MessageBoxView question = tarnwick.WaitForMessageBox();
    EXPECT_EQ(question.text,
              English(sandbox, IDS_ASK_SAVE_CHANGES, English(sandbox, IDS_UNTITLED)));
    EXPECT_EQ(question.caption, L"Tarnwick");
    EXPECT_EQ(question.buttons.size(), 3u);
    tarnwick.Press(question, question.buttons[1]);
    EXPECT_EQ(tarnwick.WaitForExit(), 0u);
}

TEST(Closing, TheEndOfTheSessionIsRefusedWhenTheUserCancels) {
    Sandbox sandbox;
    Program tarnwick(sandbox);
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    SendMessageW(tarnwick.EditControl(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"unsaved"));

    auto ask = [main] {
        DWORD_PTR answer = 2;
        SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, 0, 0, 20000, &answer);
        return answer;
    };
    auto refused = std::async(std::launch::async, ask);
    MessageBoxView question = tarnwick.WaitForMessageBox();
    tarnwick.Press(question, question.buttons.back());
    EXPECT_EQ(refused.get(), DWORD_PTR{FALSE});
    EXPECT_TRUE(tarnwick.Running());
    EXPECT_FALSE(FileExists(sandbox.Ini()));

    auto allowed = std::async(std::launch::async, ask);
    question = tarnwick.WaitForMessageBox();
    tarnwick.Press(question, question.buttons[1]);
    EXPECT_EQ(allowed.get(), DWORD_PTR{TRUE});
    EXPECT_EQ(sandbox.IniValue(L"x"), L"120") << "the settings are saved for the session's end";

    SendMessageW(tarnwick.EditControl(), EM_SETMODIFY, FALSE, 0);
    tarnwick.CloseNormally();
}

} // namespace
