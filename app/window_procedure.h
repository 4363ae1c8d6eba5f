// The main window's procedure: one handler per message.
#ifndef TARNWICK_APP_WINDOW_PROCEDURE_H
#define TARNWICK_APP_WINDOW_PROCEDURE_H

#include <windows.h>

// The id of the registered "commdlg_FindReplace" message.
extern UINT FindMessage;
inline constexpr UINT kNotifyIconMessage = WM_USER + 5;
// Posted once texts wait for the status bar.
inline constexpr UINT kShowStatusTextsMessage = WM_USER + 6;
// Posted by the typing thread when a playback has ended by itself; wParam is its number.
inline constexpr UINT kPlaybackEndedMessage = WM_USER + 7;
// Posted when the program is activated: does the document's file still match its record?
inline constexpr UINT kDiskCheckMessage = WM_USER + 8;
// Posted by the thread that read a file's stamp on a network drive; lParam holds the result.
inline constexpr UINT kDiskStampMessage = WM_USER + 9;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
