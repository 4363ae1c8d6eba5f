#include "search/go_to_line.h"

#include "app/main_window.h"
#include "language/dialog_placement.h"
#include "language/language_library.h"
#include "language/message_box.h"
#include "language/resource_ids.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"

namespace {

HWND GoToLineDialog;

// The caret's line, counted from 1, selected in the number field so that typing replaces it.
void FillLineField() {
    const int line = EditLineFromChar(EditControl, -1) + 1;
    SetDlgItemInt(GoToLineDialog, IDC_GOTO_LINE_NUMBER, static_cast<UINT>(line), FALSE);
    HWND field = GetDlgItem(GoToLineDialog, IDC_GOTO_LINE_NUMBER);
    SetFocus(field);
    SendMessageW(field, EM_SETSEL, 0, -1);
}

// A number from 1 to the line count closes the dialog with it; anything else is refused and
// the field shows the caret's line again.
void TakeLineNumber() {
    BOOL isNumber = FALSE;
    const UINT line = GetDlgItemInt(GoToLineDialog, IDC_GOTO_LINE_NUMBER, &isNumber, FALSE);
    const auto lines = static_cast<UINT>(EditGetLineCount(EditControl));
    if (!isNumber || line == 0 || line > lines) {
        MessageBoxFromIds(GoToLineDialog, IDS_GOTO_LINE_ERROR, IDS_ERROR_CAPTION, MB_ICONERROR);
        FillLineField();
        return;
    }
    SendMessageW(GoToLineDialog, WM_CLOSE, line, 0);
}

INT_PTR OnInitDialog() {
    CenterDialogOverMainWindow(GoToLineDialog);
    FillLineField();
    SendMessageW(GoToLineDialog, DM_SETDEFID, IDC_GOTO_LINE_OK, 0);
    return TRUE;
}

INT_PTR OnCommand(WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDC_GOTO_LINE_OK:
        TakeLineNumber();
        break;
    case IDCANCEL:
        SendMessageW(GoToLineDialog, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
    return TRUE;
}

// The result is the line number, or 0 when the dialog was cancelled or closed.
INT_PTR CALLBACK GoToLineDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    GoToLineDialog = dialog;
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        return OnCommand(wParam);
    case WM_CLOSE:
        EndDialog(dialog, static_cast<INT_PTR>(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

// Only a line the text has moves the caret: a dialog that could not be made returns -1.
void GoToLine() {
    const INT_PTR line = DialogBoxParamW(LanguageLibrary, MAKEINTRESOURCEW(IDD_GOTO_LINE),
                                         MainWindow, GoToLineDialogProc, 0);
    if (line >= 1 && line <= EditGetLineCount(EditControl)) {
        const int start = EditLineIndex(EditControl, static_cast<int>(line - 1));
        EditSetSel(EditControl, start, start);
        EditScrollCaret(EditControl);
    }
    SetFocus(EditControl);
}
