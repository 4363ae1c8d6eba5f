// Find, replace and search again: the system's modeless Find and Replace dialogs and the
// handler of their notifications, which drives the search engine.
#ifndef TARNWICK_SEARCH_FIND_COMMANDS_H
#define TARNWICK_SEARCH_FIND_COMMANDS_H

#include <windows.h>

// The open Find or Replace dialog; null while none is open.
extern HWND FindDialog;

// The record that both dialogs and the search-again commands share, owned by the main window.
void InitFindDialogRecord(HWND owner);
// Commands 1 and 3.
void OpenFindDialog(bool replace);
// Commands 2 and 8.
void FindAgain(bool down);
// The registered "commdlg_FindReplace" message; its lParam is the shared record.
void FindMessageHandler(LPARAM record);

#endif
