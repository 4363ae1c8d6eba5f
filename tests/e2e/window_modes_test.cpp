// The window's modes as a user meets them: hidden in the notification area and back, full
// screen and back to the window it was, staying on top; none of them strands the window.
#include "language/resource_ids.h"
#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

#include <shellapi.h>

namespace {

constexpr UINT kNotifyIconMessage = WM_USER + 5;

// The program's notification icon modified or deleted, as another program may; changing an
// icon that does not exist fails.
bool NotifyIcon(HWND main, DWORD message) {
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof(icon);
    icon.hWnd = main;
    icon.uFlags = NIF_TIP;
    lstrcpyW(icon.szTip, L"Tarnwick");
    return Shell_NotifyIconW(message, &icon) != FALSE;
}

void ExpectShown(HWND main, bool visible, bool icon) {
    EXPECT_TRUE(WaitUntil([&] {
        return (IsWindowVisible(main) != FALSE) == visible && NotifyIcon(main, NIM_MODIFY) == icon;
    })) << "awaited the window "
        << (visible ? "shown" : "hidden") << " and the icon " << (icon ? "there" : "gone");
}

bool HasCaption(HWND main) {
    return (GetWindowLongW(main, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
}

void ExpectFullScreen(HWND main, bool fullScreen) {
    EXPECT_TRUE(WaitUntil([&] {
        return HasCaption(main) != fullScreen && (!fullScreen || IsZoomed(main));
    })) << (fullScreen ? "not in full screen" : "still in full screen");
}

TEST(WindowModes, FullScreenAndTheNotificationAreaGiveBackTheWindowAsItWas) {
    Sandbox sandbox;
    sandbox.WriteIni("[Tarnwick]\r\nx=40\r\ny=30\r\nWidth=500\r\nHeight=400\r\n");
    {
        Program tarnwick(sandbox);
        const HWND main = tarnwick.MainWindow();
        ASSERT_NE(main, nullptr);
        const RECT before = WindowRect(main);
        SendCommand(main, IDM_VIEW_FULL_SCREEN);
        ExpectFullScreen(main, true);
        SendCommand(main, IDM_VIEW_FULL_SCREEN);
        ExpectFullScreen(main, false);
        EXPECT_TRUE(WaitUntil([&] {
            const RECT now = WindowRect(main);
            return EqualRect(&before, &now) != FALSE;
        })) << "the window is not back at its place and size";

        PostMessageW(main, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        EXPECT_TRUE(WaitUntil([&] { return IsZoomed(main) != FALSE; }));
        SendCommand(main, IDM_VIEW_FULL_SCREEN);
        ExpectFullScreen(main, true);
        SendCommand(main, IDM_VIEW_FULL_SCREEN);
        EXPECT_TRUE(WaitUntil([&] { return HasCaption(main) && IsZoomed(main); }))
            << "a maximized window comes back maximized";

        // Stay on top, also while maximized, written at once.
        for (const bool onTop : {true, false}) {
            SendCommand(main, IDM_OPTIONS_STAY_ON_TOP);
            EXPECT_TRUE(WaitUntil([&] {
                return ((GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) == onTop &&
                       sandbox.IniValue(L"StayOnTop") == (onTop ? L"1" : L"0");
            })) << "stay on top "
                << onTop;
        }

        // In the notification area; a restarted shell has lost the icon and the program puts
        // it back.
        InsertText(tarnwick.EditControl(), L"unsaved");
        SendCommand(main, IDM_FILE_TO_TRAY);
        ExpectShown(main, false, true);
        ASSERT_TRUE(NotifyIcon(main, NIM_DELETE));
        PostMessageW(main, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
        ExpectShown(main, false, true);
        SendCommand(main, IDM_TRAY_RESTORE);
        ExpectShown(main, true, false);
        // A window maximized by the user comes back maximized from a click on the icon.
        PostMessageW(main, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        EXPECT_TRUE(WaitUntil([&] { return IsZoomed(main) != FALSE; }));
        SendCommand(main, IDM_FILE_TO_TRAY);
        ExpectShown(main, false, true);
        PostMessageW(main, kNotifyIconMessage, 0, WM_LBUTTONDOWN);
        ExpectShown(main, true, false);
        EXPECT_TRUE(WaitUntil([&] { return IsZoomed(main) != FALSE; }));
        // Exit from the icon's menu, refused at the save question: the window is shown again.
        SendCommand(main, IDM_FILE_TO_TRAY);
        ExpectShown(main, false, true);
        SendCommand(main, IDM_TRAY_EXIT);
        tarnwick.AnswerSaveQuestion(sandbox, Untitled(sandbox), L"Cancel");
        ExpectShown(main, true, false);

        SendCommand(main, IDM_VIEW_FULL_SCREEN);
        ExpectFullScreen(main, true);
        tarnwick.CloseDiscarding(sandbox, Untitled(sandbox));
    }
    EXPECT_EQ(sandbox.IniValues({L"FullScr", L"Maximized"}),
              (std::vector<std::wstring>{L"1", L"1"}));

    // The next start is in full screen; Restore leaves it, and a move is recorded again.
    Program again(sandbox);
    const HWND main = again.MainWindow();
    ASSERT_NE(main, nullptr);
    ExpectFullScreen(main, true);
    PostMessageW(main, WM_SYSCOMMAND, SC_RESTORE, 0);
    ExpectFullScreen(main, false);
    EXPECT_FALSE(IsZoomed(main));
    SetWindowPos(main, nullptr, 70, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(WaitUntil([&] { return WindowRect(main).left == 70; }));
    again.CloseNormally();
    EXPECT_EQ(sandbox.IniValues({L"FullScr", L"Maximized", L"x", L"y"}),
              (std::vector<std::wstring>{L"0", L"0", L"70", L"60"}));
}

} // namespace
