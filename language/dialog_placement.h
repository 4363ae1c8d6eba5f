// Where the program's own dialogs appear.
#ifndef TARNWICK_LANGUAGE_DIALOG_PLACEMENT_H
#define TARNWICK_LANGUAGE_DIALOG_PLACEMENT_H

#include <windows.h>

// Moves the dialog so that its centre lies over the main window's centre.
void CenterDialogOverMainWindow(HWND dialog);

#endif
