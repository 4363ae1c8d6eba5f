// The main window: its set-up and the message loop.
#ifndef TARNWICK_APP_MAIN_WINDOW_H
#define TARNWICK_APP_MAIN_WINDOW_H

#include <windows.h>

// The main window; null until it is created.
extern HWND MainWindow;

// Sets up the main window for the command line and runs the message loop; returns the exit
// code that the loop ends with.
int RunMainWindow(HINSTANCE instance, const wchar_t* commandLine, int showCommand);

#endif
