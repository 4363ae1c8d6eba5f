// Find, replace and go to line: the dialogs and the commands that drive the search engine.
#ifndef TARNWICK_SEARCH_FIND_COMMANDS_H
#define TARNWICK_SEARCH_FIND_COMMANDS_H

#include <windows.h>

// The open Find or Replace dialog; null while none is open.
extern HWND FindDialog;
// Set while the text as it was before the last Replace All is kept for undo.
extern int ReplaceAllUndoAvailable;
extern HLOCAL ReplaceAllSavedText;

// The find dialogs' record, owned by the main window.
void InitFindDialogRecord(HWND owner);
// Commands 1 and 3.
void OpenFindDialog(bool replace);
// Commands 2 and 8.
void SearchAgain(bool down);
// Command 4.
void GoToLine();
// The registered "commdlg_FindReplace" message.
void FindMessageHandler(LPARAM record);
// Any edit after a Replace All ends the chance to take it back.
void DropReplaceAllCopy();

#endif
