// The status bar beneath the edit control.
#ifndef TARNWICK_VIEW_STATUS_BAR_H
#define TARNWICK_VIEW_STATUS_BAR_H

#include <windows.h>

// Null while the status bar is hidden; texts sent to it then go nowhere.
extern HWND StatusBar;

inline constexpr int kStatusPartEncoding = 6;

// Part 6 shows the label of the current encoding.
void ShowEncodingLabel();

#endif
