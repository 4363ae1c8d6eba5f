// The operations the program asks of the edit control that holds the document, one named
// call each, so that callers say what they do rather than which message they send.
#ifndef TARNWICK_VIEW_EDIT_OPS_H
#define TARNWICK_VIEW_EDIT_OPS_H

#include <windows.h>

struct EditSelection {
    DWORD start;
    DWORD end;
};

// The block that holds the text; locked, it gives the zero-terminated text in place.
inline HLOCAL EditGetHandle(HWND edit) {
    return reinterpret_cast<HLOCAL>(SendMessageW(edit, EM_GETHANDLE, 0, 0));
}
// The control adopts the block (unmodified, empty undo); the old block is the caller's.
inline void EditSetHandle(HWND edit, HLOCAL block) {
    SendMessageW(edit, EM_SETHANDLE, reinterpret_cast<WPARAM>(block), 0);
}
// Replaces the whole text, leaving the control unmodified with an empty undo; false when the
// control could not take it.
inline bool EditSetText(HWND edit, const wchar_t* text) {
    return SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != FALSE;
}
inline DWORD EditGetTextLength(HWND edit) {
    return static_cast<DWORD>(SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0));
}
inline EditSelection EditGetSel(HWND edit) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}
// (0, -1) selects everything.
inline void EditSetSel(HWND edit, LONG_PTR start, LONG_PTR end) {
    SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(start), end);
}
// Replaces the selection (or inserts at the caret) undoably; the caret follows the text.
inline void EditReplaceSel(HWND edit, const wchar_t* text) {
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}
inline void EditScrollCaret(HWND edit) {
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}
inline int EditGetFirstVisibleLine(HWND edit) {
    return static_cast<int>(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
}
inline void EditLineScroll(HWND edit, int lines) {
    SendMessageW(edit, EM_LINESCROLL, 0, lines);
}
// The 0-based line of a position; -1 means the start of the selection.
inline int EditLineFromChar(HWND edit, LONG_PTR position) {
    return static_cast<int>(SendMessageW(edit, EM_LINEFROMCHAR, static_cast<WPARAM>(position), 0));
}
inline int EditLineIndex(HWND edit, int line) {
    return static_cast<int>(SendMessageW(edit, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
}
inline int EditLineLength(HWND edit, int position) {
    return static_cast<int>(SendMessageW(edit, EM_LINELENGTH, static_cast<WPARAM>(position), 0));
}
inline int EditGetLineCount(HWND edit) {
    return static_cast<int>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
}
inline bool EditGetModify(HWND edit) {
    return SendMessageW(edit, EM_GETMODIFY, 0, 0) != 0;
}
inline void EditSetModify(HWND edit, bool modified) {
    SendMessageW(edit, EM_SETMODIFY, modified ? TRUE : FALSE, 0);
}
inline bool EditCanUndo(HWND edit) {
    return SendMessageW(edit, EM_CANUNDO, 0, 0) != 0;
}
inline void EditUndo(HWND edit) {
    SendMessageW(edit, EM_UNDO, 0, 0);
}
inline void EditEmptyUndoBuffer(HWND edit) {
    SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
}
// Lifts the control's limit to the largest text it can hold.
inline void EditLimitText(HWND edit) {
    SendMessageW(edit, EM_LIMITTEXT, 0, 0);
}
inline void EditSetFont(HWND edit, HFONT font) {
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}
inline void EditCut(HWND edit) {
    SendMessageW(edit, WM_CUT, 0, 0);
}
inline void EditCopy(HWND edit) {
    SendMessageW(edit, WM_COPY, 0, 0);
}
inline void EditPaste(HWND edit) {
    SendMessageW(edit, WM_PASTE, 0, 0);
}
// Deletes the selection, undoably.
inline void EditClear(HWND edit) {
    SendMessageW(edit, WM_CLEAR, 0, 0);
}
// One typed character; 13 inserts a line break.
inline void EditTypeChar(HWND edit, wchar_t code) {
    SendMessageW(edit, WM_CHAR, code, 0);
}
// The Delete key: the selection, or the character after the caret.
inline void EditPressDelete(HWND edit) {
    SendMessageW(edit, WM_KEYDOWN, VK_DELETE, 0);
}

#endif
