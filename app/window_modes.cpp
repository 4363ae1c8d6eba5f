#include "app/window_modes.h"

#include "app/main_window.h"
#include "app/settings.h"
#include "app/shared_placement.h"
#include "app/window_procedure.h"
#include "language/language_menus.h"
#include "language/resource_ids.h"

#include <shellapi.h>

namespace {

NOTIFYICONDATAW NotifyIcon;
UINT TaskbarCreatedMessage;
bool IconShown;
// Where the window was before full screen, so that leaving it puts the window back exactly.
WINDOWPLACEMENT PlacementBeforeFullScreen;

// Only the frame changes: the window keeps its state bits (visible, clipping its children).
constexpr LONG_PTR kFullScreenFrame = WS_POPUP | WS_SYSMENU;
constexpr LONG_PTR kNormalFrame = WS_OVERLAPPEDWINDOW;

bool AddIcon() {
    IconShown = Shell_NotifyIconW(NIM_ADD, &NotifyIcon) != FALSE;
    return IconShown;
}

void SwapFrame(LONG_PTR from, LONG_PTR to) {
    const LONG_PTR style = GetWindowLongPtrW(MainWindow, GWL_STYLE);
    SetWindowLongPtrW(MainWindow, GWL_STYLE, (style & ~from) | to);
}

// The whole monitor the window is on, its menu bar at the top of the screen. A maximized
// popup would not do: its menu bar would sit above the screen.
void CoverMonitor(UINT flags) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromWindow(MainWindow, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return;
    }
    const RECT& screen = monitor.rcMonitor;
    SetWindowPos(MainWindow, HWND_TOP, screen.left, screen.top, screen.right - screen.left,
                 screen.bottom - screen.top, flags | SWP_NOOWNERZORDER);
}

void CheckFullScreenItem() {
    CheckMenuItem(GetMenu(MainWindow), IDM_VIEW_FULL_SCREEN,
                  MF_BYCOMMAND | (Setting(IntKey::FullScr) != 0 ? MF_CHECKED : MF_UNCHECKED));
}

// FullScr is set first: no size or place the window passes through on the way is recorded as
// its own. A maximized window is restored first: a zoomed window given a new rectangle does not
// keep it.
void EnterFullScreen() {
    PlacementBeforeFullScreen.length = sizeof(PlacementBeforeFullScreen);
    GetWindowPlacement(MainWindow, &PlacementBeforeFullScreen);
    SetSetting(IntKey::FullScr, 1);
    SetSetting(IntKey::Maximized, 1);
    if (IsZoomed(MainWindow)) {
        ShowWindow(MainWindow, SW_RESTORE);
    }
    SwapFrame(kNormalFrame, kFullScreenFrame);
    CoverMonitor(SWP_FRAMECHANGED | SWP_SHOWWINDOW);
}

// The window returns as it was: maximized, or at its own place and size, which are recorded
// again. It is maximized last, once its normal frame is in place: maximized together with the
// placement, it was seen put back to its normal size right after.
void LeaveFullScreen() {
    const bool maximized = PlacementBeforeFullScreen.showCmd == SW_SHOWMAXIMIZED;
    SetSetting(IntKey::FullScr, 0);
    SetSetting(IntKey::Maximized, maximized ? 1 : 0);
    WindowIsMinMax = maximized ? 1 : 0;
    SwapFrame(kFullScreenFrame, kNormalFrame);
    WINDOWPLACEMENT placement = PlacementBeforeFullScreen;
    placement.showCmd = SW_SHOWNORMAL;
    SetWindowPlacement(MainWindow, &placement);
    SetWindowPos(MainWindow, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (maximized) {
        ShowWindow(MainWindow, SW_SHOWMAXIMIZED);
    }
}

} // namespace

void InitNotifyIcon(HWND owner, HICON icon) {
    NotifyIcon.cbSize = sizeof(NotifyIcon);
    NotifyIcon.hWnd = owner;
    NotifyIcon.uID = 0;
    NotifyIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    NotifyIcon.uCallbackMessage = kNotifyIconMessage;
    NotifyIcon.hIcon = icon;
    lstrcpynW(NotifyIcon.szTip, L"Tarnwick", ARRAYSIZE(NotifyIcon.szTip));
    TaskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
}

// The window hides only behind an icon: without one it could not be brought back.
void HideInTray() {
    if (AddIcon()) {
        ShowWindow(MainWindow, SW_HIDE);
    }
}

// SW_RESTORE would take a maximized or full-screen window out of that state.
void RestoreFromTray() {
    ShowWindow(MainWindow, IsIconic(MainWindow) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(MainWindow);
    RemoveTrayIcon();
}

// A close refused at the save question leaves the window shown: the icon is gone already.
void ExitFromTray() {
    RemoveTrayIcon();
    SendMessageW(MainWindow, WM_CLOSE, 0, 0);
    if (IsWindow(MainWindow)) {
        ShowWindow(MainWindow, SW_SHOW);
    }
}

void ShowMainWindow(int showCommand) {
    if (Setting(IntKey::FullScr) != 0) {
        EnterFullScreen();
    } else {
        ShowWindow(MainWindow, showCommand);
    }
}

void ToggleFullScreen() {
    if (Setting(IntKey::FullScr) == 0) {
        EnterFullScreen();
    } else {
        LeaveFullScreen();
    }
    CheckFullScreenItem();
}

void ToggleStayOnTop() {
    WriteSetting(IntKey::StayOnTop, Setting(IntKey::StayOnTop) != 0 ? 0 : 1);
    const bool onTop = Setting(IntKey::StayOnTop) != 0;
    CheckMenuItem(GetMenu(MainWindow), IDM_OPTIONS_STAY_ON_TOP,
                  MF_BYCOMMAND | (onTop ? MF_CHECKED : MF_UNCHECKED));
    RECT rect;
    GetWindowRect(MainWindow, &rect);
    SetWindowPos(MainWindow, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, rect.left, rect.top,
                 rect.right - rect.left, rect.bottom - rect.top, SWP_SHOWWINDOW);
}

void OnNotifyIcon(LPARAM event) {
    switch (LOWORD(event)) {
    case WM_LBUTTONDOWN:
        SendMessageW(MainWindow, WM_COMMAND, IDM_TRAY_RESTORE, 0);
        break;
    case WM_RBUTTONDOWN: {
        POINT cursor;
        GetCursorPos(&cursor);
        SetForegroundWindow(MainWindow);
        TrackPopupMenu(TrayMenu, TPM_RIGHTALIGN, cursor.x, cursor.y, 0, MainWindow, nullptr);
        PostMessageW(MainWindow, WM_NULL, 0, 0);
        break;
    }
    default:
        break;
    }
}

// A restarted shell has lost the icon: it is added again, or the window is shown.
bool OnTaskbarCreated(UINT message) {
    if (message != TaskbarCreatedMessage || TaskbarCreatedMessage == 0) {
        return false;
    }
    if (IconShown && !AddIcon()) {
        ShowWindow(MainWindow, SW_SHOW);
    }
    return true;
}

bool RestoreLeavesFullScreen(WPARAM systemCommand) {
    if ((systemCommand & 0xFFF0) != SC_RESTORE || Setting(IntKey::FullScr) == 0) {
        return false;
    }
    ToggleFullScreen();
    return true;
}

bool CoverMonitorInFullScreen() {
    if (Setting(IntKey::FullScr) == 0) {
        return false;
    }
    CoverMonitor(SWP_NOACTIVATE);
    return true;
}

void RemoveTrayIcon() {
    if (IconShown) {
        Shell_NotifyIconW(NIM_DELETE, &NotifyIcon);
        IconShown = false;
    }
}
