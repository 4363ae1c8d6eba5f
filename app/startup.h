// Values that start-up computes once and every part of the program reads.
#ifndef TARNWICK_APP_STARTUP_H
#define TARNWICK_APP_STARTUP_H

#include <windows.h>

extern HINSTANCE Instance;
// Paths of the program's own files. A path that does not fit its buffer is left empty, and
// nothing is ever read from or written to an empty path.
extern wchar_t ExePath[MAX_PATH];
extern wchar_t ExeFolder[MAX_PATH]; // with its trailing backslash
extern wchar_t HelpFolder[MAX_PATH];
extern wchar_t IniPath[MAX_PATH];
extern int ScreenWidth;
extern int ScreenHeight;

// Instance, the paths and the screen size, in that order.
void InitPaths();

// ExeFolder followed by the name, written into a buffer of MAX_PATH units; empty when the
// executable's folder is unknown or the result would not fit. Returns the destination.
wchar_t* MakeExeRelativePath(const wchar_t* name, wchar_t* destination);

#endif
