// The window's modes: hidden in the notification area, full screen, staying on top.
#ifndef TARNWICK_APP_WINDOW_MODES_H
#define TARNWICK_APP_WINDOW_MODES_H

#include <windows.h>

// The notification icon's record, owned by the main window.
void InitNotifyIcon(HWND owner, HICON icon);
// Commands 310, 700, 701, 404 and 502.
void HideInTray();
void RestoreFromTray();
void ExitFromTray();
void ToggleFullScreen();
void ToggleStayOnTop();
// WM_USER + 5: the notification icon's callback.
void OnNotifyIcon(LPARAM event);

#endif
