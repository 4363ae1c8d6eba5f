#include "app/window_modes.h"

// The modes come with the notification area and full-screen handling; until then these do
// nothing.
void InitNotifyIcon(HWND, HICON) {}

void HideInTray() {}

void RestoreFromTray() {}

void ExitFromTray() {}

void ToggleFullScreen() {}

void ToggleStayOnTop() {}

void OnNotifyIcon(LPARAM) {}
