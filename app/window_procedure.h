// The main window's procedure: one handler per message.
#ifndef TARNWICK_APP_WINDOW_PROCEDURE_H
#define TARNWICK_APP_WINDOW_PROCEDURE_H

#include <windows.h>

// The id of the registered "commdlg_FindReplace" message.
extern UINT FindMessage;
inline constexpr UINT kNotifyIconMessage = WM_USER + 5;
// Posted once texts wait for the status bar.
inline constexpr UINT kShowStatusTextsMessage = WM_USER + 6;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
