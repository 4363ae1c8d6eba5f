// Page set-up and printing of the document.
#ifndef TARNWICK_PRINT_PRINTING_H
#define TARNWICK_PRINT_PRINTING_H

#include <windows.h>

// The page set-up record, owned by the main window.
void InitPageSetupRecord(HWND owner);
// Commands 304 and 305.
void ShowPageSetup();
void PrintDocument();

#endif
