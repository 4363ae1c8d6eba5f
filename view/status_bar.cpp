#include "view/status_bar.h"

#include "document/encoding.h"
#include "document/encoding_io.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"

#include <commctrl.h>

HWND StatusBar;

void SetStatusText(int part, const wchar_t* text) {
    if (StatusBar != nullptr) {
        SendMessageW(StatusBar, SB_SETTEXTW, static_cast<WPARAM>(part),
                     reinterpret_cast<LPARAM>(text));
    }
}

void ShowEncodingLabel() {
    SetStatusText(kStatusPartEncoding, AsWide(EncodingLabel(CurrentEncoding)));
}

// The status bar's parts and texts come with the status bar itself; until then the update
// keeps the recorded selection, which the edit commands rely on.
void RefreshStatus() {
    const EditSelection selection = EditGetSel(EditControl);
    SelectionRecord = {selection.start, selection.end};
}

void CALLBACK RefreshStatusOnCaretMove(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) {
    RefreshStatus();
}

void CreateStatusBarIfShown() {}

void ToggleStatusBar() {}
