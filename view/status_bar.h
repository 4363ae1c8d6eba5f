// The status bar beneath the edit control.
#ifndef TARNWICK_VIEW_STATUS_BAR_H
#define TARNWICK_VIEW_STATUS_BAR_H

#include <windows.h>

// Null while the status bar is hidden; texts sent to it then go nowhere.
extern HWND StatusBar;

inline constexpr int kStatusPartCharacter = 2;
inline constexpr int kStatusPartMode = 3;
inline constexpr int kStatusPartCaps = 4;
inline constexpr int kStatusPartNum = 5;
inline constexpr int kStatusPartEncoding = 6;

// One part's text.
void SetStatusText(int part, const wchar_t* text);
// Part 6 shows the label of the current encoding.
void ShowEncodingLabel();
// Brings the status bar, the recorded selection and the title up to date after the text or
// the selection changed. Also the callback of the caret hook.
void RefreshStatus();
void CALLBACK RefreshStatusOnCaretMove(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object,
                                       LONG child, DWORD thread, DWORD time);
// Creates the status bar when the Status setting asks for it.
void CreateStatusBarIfShown();
// Command 403.
void ToggleStatusBar();

#endif
