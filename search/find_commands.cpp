#include "search/find_commands.h"

#include "app/main_window.h"
#include "app/settings.h"
#include "app/window_procedure.h"
#include "language/message_box.h"
#include "language/resource_ids.h"
#include "search/replace_all.h"
#include "search/search_context.h"
#include "search/search_report.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"
#include "view/status_bar.h"

#include <commdlg.h>
#include <dlgs.h>

HWND FindDialog;

namespace {

FINDREPLACEW FindRecord;

// A selection this long or shorter becomes the search string; FindString holds 129 units.
constexpr DWORD kLongestTakenSelection = 128;

DWORD CaseFlag() {
    return Setting(IntKey::FindCase) != 0 ? FR_MATCHCASE : 0;
}

DWORD DialogFlags(bool down) {
    return FR_HIDEWHOLEWORD | FR_ENABLEHOOK | FR_FINDNEXT | CaseFlag() | (down ? FR_DOWN : 0);
}

// Each click in a dialog reaches the settings file at once, so another copy of the program
// opened meanwhile starts with it.
UINT_PTR CALLBACK FindDialogHook(HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) {
        return FALSE;
    }
    switch (LOWORD(wParam)) {
    case chx2:
        WriteSetting(IntKey::FindCase, Setting(IntKey::FindCase) == 0 ? 1 : 0);
        break;
    case rad1:
        WriteSetting(IntKey::FindDirection, 0);
        break;
    case rad2:
        WriteSetting(IntKey::FindDirection, 1);
        break;
    default:
        break;
    }
    return FALSE;
}

void CloseFindDialog() {
    if (FindDialog != nullptr) {
        DestroyWindow(FindDialog);
        FindDialog = nullptr;
    }
}

// A selection of 1 to 128 units becomes the search string, read in place from the control.
void TakeSelectionAsSearchString() {
    TakeCurrentSelection();
    const DWORD length = EditGetTextLength(EditControl);
    const DWORD start = SelectionRecord.SelStart;
    const DWORD end = SelectionRecord.SelEnd < length ? SelectionRecord.SelEnd : length;
    if (end <= start || end - start > kLongestTakenSelection) {
        return;
    }
    EditTextHandle = EditGetHandle(EditControl);
    const auto* text = static_cast<const wchar_t*>(LocalLock(EditTextHandle));
    if (text == nullptr) {
        return;
    }
    CopyMemory(FindString, text + start, (end - start) * sizeof(wchar_t));
    FindString[end - start] = L'\0';
    LocalUnlock(EditTextHandle);
}

void ShowFindDialog(bool replace, DWORD flags) {
    FindRecord.Flags = flags;
    FindDialog = replace ? ReplaceTextW(&FindRecord) : FindTextW(&FindRecord);
}

// The Replace button: the selection is replaced when it is an occurrence, and the search
// goes on behind the inserted text; otherwise the nearest occurrence is only selected.
void ReplaceAndFindNext(bool down) {
    const ReplaceCurrentResult replaced = ReplaceCurrent();
    ShowSearchResult(replaced.replaced ? SearchForwardFrom(replaced.nextStart)
                                       : SearchFromSelection(down),
                     SearchLength());
}

void OutOfMemoryDuringSearch() {
    MessageBoxFromIds(FindDialog != nullptr ? FindDialog : MainWindow, IDS_OUT_OF_MEMORY,
                      IDS_ERROR_CAPTION, MB_ICONERROR);
    GiveDialogBack();
}

} // namespace

void InitFindDialogRecord(HWND owner) {
    FindRecord.lStructSize = sizeof(FindRecord);
    FindRecord.hwndOwner = owner;
    FindRecord.lpstrFindWhat = FindString;
    FindRecord.lpstrReplaceWith = ReplaceString;
    FindRecord.wFindWhatLen = ARRAYSIZE(FindString);
    FindRecord.wReplaceWithLen = ARRAYSIZE(ReplaceString);
    FindRecord.lpfnHook = FindDialogHook;
}

void OpenFindDialog(bool replace) {
    CloseFindDialog();
    TakeSelectionAsSearchString();
    ShowFindDialog(replace, DialogFlags(Setting(IntKey::FindDirection) != 0));
}

// Search again follows the command's direction, never the dialog's.
void FindAgain(bool down) {
    TakeSelectionAsSearchString();
    if (FindString[0] == L'\0') {
        CloseFindDialog();
        ShowFindDialog(false, DialogFlags(down));
        return;
    }
    FindRecord.Flags = FR_FINDNEXT | CaseFlag() | (down ? FR_DOWN : 0);
    SendMessageW(MainWindow, FindMessage, 0, reinterpret_cast<LPARAM>(&FindRecord));
    SetFocus(EditControl);
}

void FindMessageHandler(LPARAM record) {
    const DWORD flags = reinterpret_cast<const FINDREPLACEW*>(record)->Flags;
    if ((flags & FR_DIALOGTERM) != 0) {
        FindDialog = nullptr;
        SetFocus(EditControl);
        return;
    }
    if (!BeginSearch(flags)) {
        OutOfMemoryDuringSearch();
        return;
    }
    const bool down = (flags & FR_DOWN) != 0;
    if ((flags & FR_REPLACEALL) != 0) {
        RunReplaceAll();
    } else if ((flags & FR_FINDNEXT) != 0) {
        ShowSearchResult(SearchFromSelection(down), SearchLength());
    } else if ((flags & FR_REPLACE) != 0) {
        ReplaceAndFindNext(down);
    }
    EndSearch();
}
