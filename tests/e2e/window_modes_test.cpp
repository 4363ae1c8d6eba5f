// The window's modes at 144 DPI: geometry and font scaled but stored at 96 DPI (so that copies
// at other DPIs agree), another DPI, the notification area, full screen, on top; none strands it.
#include "tests/e2e/driver.h"

#include <commctrl.h>
#include <shellapi.h>

namespace {

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

// The window shown or not, and the icon there or not.
void ExpectShown(HWND main, bool visible, bool icon) {
    ExpectSoon("shown, icon", std::pair{visible, icon}, [&] {
        return std::pair{IsWindowVisible(main) != FALSE, NotifyIcon(main, NIM_MODIFY)};
    });
}

std::string Describe(const RECT& rect) {
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + " to " +
           std::to_string(rect.right) + "," + std::to_string(rect.bottom);
}

// The window as the user sees it: "full screen" (no caption, over the whole monitor, its menu
// bar on the screen above the client area), "maximized", or a rectangle with a caption.
std::string Mode(HWND main) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(main, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT rect = WindowRect(main);
    POINT client{};
    ClientToScreen(main, &client);
    const bool caption = (GetWindowLongW(main, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
    if (!IsWindowVisible(main)) {
        return "hidden";
    }
    if (!caption && EqualRect(&rect, &monitor.rcMonitor) && client.y > rect.top) {
        return "full screen";
    }
    return (caption ? "" : "without a caption ") +
           (IsZoomed(main) ? std::string("maximized") : Describe(rect));
}

void ExpectMode(HWND main, const std::string& mode) {
    ExpectSoon("the window", mode, [&] { return Mode(main); });
}

// The user maximizes the window. Wine without a window manager restores a window maximized
// before the X server's report of its last showing came in: it is maximized until it stays.
void MaximizeByUser(HWND main) {
    EXPECT_TRUE(WaitUntil([&] {
        PostMessageW(main, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        Sleep(500);
        return IsZoomed(main) != FALSE;
    })) << "the window does not stay maximized";
}

TEST(WindowModes, ScaledStoredAt96DpiAndFullScreenAndTheNotificationAreaGiveBackTheWindow) {
    Sandbox sandbox;
    sandbox.WriteIni("[Tarnwick]\r\nx=40\r\ny=30\r\nWidth=400\r\nHeight=300\r\n");
    // Wine reads the system DPI once as each program starts, from the user's LogPixels value.
    std::optional<KeptRegistryValue> dpi(std::in_place, HKEY_CURRENT_USER,
                                         L"Control Panel\\Desktop", L"LogPixels", DWORD{144});
    // Where the window stands after the move to 192 DPI.
    const RECT normal{100, 80, 100 + 800, 80 + 600};
    {
        Program tarnwick(sandbox);
        const HWND main = tarnwick.MainWindow();
        const HWND bar = FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr);
        ExpectMode(main, Describe({60, 45, 60 + 600, 45 + 450}));
        // The parts' right edges, 355 495 660 697 750 798 885 at 96 DPI, scaled (-1: to the end).
        EXPECT_EQ(StatusPartEdges(bar), (std::vector{533, 743, 990, 1046, 1125, 1197, 1328, -1}));
        // Ten points chosen at 144 DPI are stored as the height of ten points at 96 DPI, so the
        // font does not grow at the next start. Family is the last key of the font written.
        ChooseFontInDialog(tarnwick, L"DejaVu Sans Mono", L"10");
        sandbox.ExpectIni(L"FontHeight=4294967283 Family=49");
        // Moved to a monitor of 192 DPI: the suggested rectangle and the parts for it.
        SendDpiChanged(main, 192, normal);
        ExpectMode(main, Describe(normal));
        EXPECT_EQ(StatusPartEdges(bar), (std::vector{710, 990, 1320, 1394, 1500, 1596, 1770, -1}));

        BringToFront(main);
        Keys(L"F11");
        ExpectMode(main, "full screen");
        SendCommand(main, IDM_VIEW_FULL_SCREEN);
        ExpectMode(main, Describe(normal));
        MaximizeByUser(main);
        SendCommand(main, IDM_VIEW_FULL_SCREEN);
        ExpectMode(main, "full screen");
        SendCommand(main, IDM_VIEW_FULL_SCREEN);
        ExpectMode(main, "maximized");

        // Stay on top, also while maximized, written at once.
        for (const bool onTop : {true, false}) {
            SendCommand(main, IDM_OPTIONS_STAY_ON_TOP);
            ExpectSoon("on top", onTop,
                       [&] { return (GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; });
            sandbox.ExpectIni(onTop ? L"StayOnTop=1" : L"StayOnTop=0");
        }

        // To the notification area; a restarted shell lost the icon, and the program puts it back.
        InsertText(tarnwick.EditControl(), L"unsaved");
        SendCommand(main, IDM_FILE_TO_TRAY);
        ExpectShown(main, false, true);
        ASSERT_TRUE(NotifyIcon(main, NIM_DELETE));
        PostMessageW(main, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
        ExpectShown(main, false, true);
        SendCommand(main, IDM_TRAY_RESTORE);
        ExpectShown(main, true, false);
        // A window maximized by the user comes back maximized from a click on the icon.
        MaximizeByUser(main);
        SendCommand(main, IDM_FILE_TO_TRAY);
        ExpectShown(main, false, true);
        PostMessageW(main, WM_USER + 5, 0, WM_LBUTTONDOWN); // the icon's message
        ExpectShown(main, true, false);
        ExpectMode(main, "maximized");
        // Exit from the icon's menu, refused at the save question: the window is shown again.
        SendCommand(main, IDM_FILE_TO_TRAY);
        ExpectShown(main, false, true);
        SendCommand(main, IDM_TRAY_EXIT);
        tarnwick.Ask(Untitled(sandbox), L"Cancel");
        ExpectShown(main, true, false);

        // Full screen follows its monitor through a change of DPI or of the display (which a
        // change of resolution first shrinks the window for), and none of it is recorded.
        SendCommand(main, IDM_VIEW_FULL_SCREEN);
        ExpectMode(main, "full screen");
        SendDpiChanged(main, 120, {10, 10, 310, 310});
        ExpectMode(main, "full screen");
        SetWindowPos(main, nullptr, 10, 10, 300, 300, SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(WaitUntil([&] { return WindowRect(main).right == 310; }));
        PostMessageW(main, WM_DISPLAYCHANGE, 24, MAKELPARAM(1024, 768));
        ExpectMode(main, "full screen");
        tarnwick.CloseDiscarding(Untitled(sandbox));
    }
    sandbox.ExpectIni(L"FullScr=1 Maximized=1 x=50 y=40 Width=400 Height=300");

    // The next start, at 96 DPI, is in full screen; Restore leaves it for the window's own
    // place, and a move is recorded again.
    dpi.reset();
    Program again(sandbox);
    const HWND main = again.MainWindow();
    ExpectMode(main, "full screen");
    PostMessageW(main, WM_SYSCOMMAND, SC_RESTORE, 0);
    ExpectMode(main, Describe({50, 40, 50 + 400, 40 + 300}));
    SetWindowPos(main, nullptr, 70, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(WaitUntil([&] { return WindowRect(main).left == 70; }));
    again.CloseNormally();
    sandbox.ExpectIni(L"FullScr=0 Maximized=0 x=70 y=60 Width=400 Height=300");
}

} // namespace
