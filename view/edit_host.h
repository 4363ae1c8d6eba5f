// The edit control that holds the document: its creation, re-creation for word wrap, and
// the procedure in front of its own (overwrite mode, Insert-key combinations, key states,
// the context menu).
#ifndef TARNWICK_VIEW_EDIT_HOST_H
#define TARNWICK_VIEW_EDIT_HOST_H

#include <windows.h>

// The control's child id: its notifications reach the main window with this id.
inline constexpr int kEditControlId = 101;

extern HWND EditControl;
// The block that holds the control's text, as last taken from the control.
extern HLOCAL EditTextHandle;
extern int OverwriteMode;
extern int CapsLockOn;
extern int NumLockOn;

// The selection as the status update last took it; the edit commands work on it.
struct SelectionRange {
    DWORD SelStart;
    DWORD SelEnd;
};
extern SelectionRange SelectionRecord;

// The control takes the movable block as its text (unmodified, with an empty undo) and the
// block it held is freed: no copy of the text is made.
void GiveTextBlock(HLOCAL block);
// WM_CREATE: the control in the start-up style for the Wrap setting.
void CreateEditControl(HWND parent);
// Command 401.
void ToggleWordWrap();
// Places the edit control and the status bar in the main window's client area.
void RequestLayout();
// Enables or grays the edit commands in the menu by the document and the selection.
void UpdateEditMenu(HMENU menu);

#endif
