// The window's modes: hidden in the notification area, full screen, staying on top.
#ifndef TARNWICK_APP_WINDOW_MODES_H
#define TARNWICK_APP_WINDOW_MODES_H

#include <windows.h>

// The notification icon's record, owned by the main window, and the shell's "TaskbarCreated"
// message, after which the icon must be added again.
void InitNotifyIcon(HWND owner, HICON icon);
// The first show of the main window: in full screen when the settings say so, else as asked.
void ShowMainWindow(int showCommand);
// Commands 310, 700, 701, 404 and 502.
void HideInTray();
void RestoreFromTray();
void ExitFromTray();
void ToggleFullScreen();
void ToggleStayOnTop();
// WM_USER + 5: the notification icon's callback.
void OnNotifyIcon(LPARAM event);
// True for the shell's "TaskbarCreated" message, which has then been handled.
bool OnTaskbarCreated(UINT message);
// SC_RESTORE while in full screen leaves it as command 404 does; true when it was handled.
bool RestoreLeavesFullScreen(WPARAM systemCommand);
// WM_DPICHANGED and WM_DISPLAYCHANGE: a full-screen window covers its monitor again, whatever
// rectangle the system suggests; true when the window is in full screen.
bool CoverMonitorInFullScreen();
// WM_DESTROY: the icon goes with the window.
void RemoveTrayIcon();

#endif
