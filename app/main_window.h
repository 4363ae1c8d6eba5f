// The main window: its set-up, the message loop, and its own messages.
#ifndef TARNWICK_APP_MAIN_WINDOW_H
#define TARNWICK_APP_MAIN_WINDOW_H

#include <windows.h>

// The main window; null until it is created.
extern HWND MainWindow;

// Timer 1 of the main window refreshes the key-state texts every 250 ms; timer 2 writes the
// recovery file of a modified document; timer 3 looks again whether the document's file
// changed on disk once nothing else is asking the user.
inline constexpr UINT_PTR kStatusTimer = 1;
inline constexpr UINT_PTR kRecoveryTimer = 2;
inline constexpr UINT_PTR kDiskCheckTimer = 3;

// Sets up the main window for the command line and runs the message loop; returns the exit
// code that the loop ends with.
int RunMainWindow(HINSTANCE instance, const wchar_t* commandLine, int showCommand);

// The check marks of a new menu: the modes, the options and the current encoding.
void ShowCheckMarks(HMENU menu);

LRESULT OnCreate(HWND window);
LRESULT OnSize(UINT sizeType, int clientWidth, int clientHeight);
LRESULT OnMove();
LRESULT OnActivate();
LRESULT OnClose();
LRESULT OnQueryEndSession();
LRESULT OnDestroy();

#endif
