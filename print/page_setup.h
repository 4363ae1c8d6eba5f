// The page set-up of the run: printer, paper and margins, as the page set-up dialog left them.
#ifndef TARNWICK_PRINT_PAGE_SETUP_H
#define TARNWICK_PRINT_PAGE_SETUP_H

#include <windows.h>

#include <commdlg.h>

extern PAGESETUPDLGW PageSetupRecord;

// WM_CREATE: A4 with 20 mm side margins and 25 mm at the top and bottom.
void InitPageSetupRecord(HWND owner);
// Command 304.
void ShowPageSetup();
// Names the system's default printer in the record when it names none yet, without a dialog.
void TakeDefaultPrinter();

#endif
