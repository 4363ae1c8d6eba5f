// The edit control that holds the document.
#ifndef TARNWICK_VIEW_EDIT_HOST_H
#define TARNWICK_VIEW_EDIT_HOST_H

#include <windows.h>

// The control's child id: its notifications reach the main window with this id.
inline constexpr int kEditControlId = 101;

extern HWND EditControl;
// The block that holds the control's text, as last taken from the control.
extern HLOCAL EditTextHandle;

#endif
