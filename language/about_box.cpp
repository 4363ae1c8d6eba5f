#include "app/main_window.h"
#include "app/version.h"
#include "language/dialog_placement.h"
#include "language/language_library.h"
#include "language/language_menus.h"
#include "language/resource_ids.h"
#include "view/edit_host.h"

namespace {

INT_PTR OnInitAbout(HWND dialog) {
    CenterDialogOverMainWindow(dialog);
    SetDlgItemTextW(dialog, IDC_ABOUT_PRODUCT, L"Tarnwick " TARNWICK_VERSION_TEXT);
    SetDlgItemTextW(dialog, IDC_ABOUT_COPYRIGHT, L"" TARNWICK_COPYRIGHT);
    return TRUE;
}

// Escape and the button (both id 2) and the close box all end the box through WM_CLOSE.
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitAbout(dialog);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            SendMessageW(dialog, WM_CLOSE, 0, 0);
        }
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void ShowAbout() {
    DialogBoxParamW(LanguageLibrary, MAKEINTRESOURCEW(IDD_ABOUT), MainWindow, AboutDialogProc, 0);
    SetFocus(EditControl);
}
