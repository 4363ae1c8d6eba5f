#include "view/status_bar.h"

#include "app/main_window.h"
#include "app/settings.h"
#include "document/encoding.h"
#include "document/encoding_io.h"
#include "language/resource_ids.h"
#include "view/edit_host.h"

#include <commctrl.h>

HWND StatusBar;

namespace {

// Right edges of the eight parts in pixels; the last one runs to the bar's end.
constexpr int kPartEdges[] = {355, 495, 660, 697, 750, 798, 885, -1};

void ShowMode() {
    SetStatusText(kStatusPartMode, OverwriteMode ? L" OVR" : L" INS");
}

bool Toggled(int key) {
    return (GetKeyState(key) & 1) != 0;
}

} // namespace

void SetStatusText(int part, const wchar_t* text) {
    if (StatusBar != nullptr) {
        SendMessageW(StatusBar, SB_SETTEXTW, static_cast<WPARAM>(part),
                     reinterpret_cast<LPARAM>(text));
    }
}

void ShowEncodingLabel() {
    SetStatusText(kStatusPartEncoding, AsWide(EncodingLabel(CurrentEncoding)));
}

void ShowKeyStates() {
    SetStatusText(kStatusPartCaps, CapsLockOn ? L" CAPS" : L" ");
    SetStatusText(kStatusPartNum, NumLockOn ? L" NUM" : L" ");
    ShowMode();
}

void CreateStatusBar() {
    CheckMenuItem(GetMenu(MainWindow), IDM_VIEW_STATUS_BAR, MF_BYCOMMAND | MF_CHECKED);
    StatusBar = CreateStatusWindowW(WS_CHILD | WS_VISIBLE, L"", MainWindow, kStatusBarId);
    if (StatusBar == nullptr) {
        return;
    }
    SendMessageW(StatusBar, SB_SETPARTS, ARRAYSIZE(kPartEdges),
                 reinterpret_cast<LPARAM>(kPartEdges));
    ShowMode();
    ShowEncodingLabel();
    CapsLockOn = Toggled(VK_CAPITAL);
    if (CapsLockOn) {
        SetStatusText(kStatusPartCaps, L" CAPS");
    }
    NumLockOn = Toggled(VK_NUMLOCK);
    if (NumLockOn) {
        SetStatusText(kStatusPartNum, L" NUM");
    }
    ForgetStatusShown();
    RefreshStatus();
}

void CreateStatusBarIfShown() {
    if (Setting(IntKey::Status) != 0) {
        CreateStatusBar();
        RequestLayout();
    }
}

void ToggleStatusBar() {
    if (Setting(IntKey::Status) == 0) {
        CreateStatusBar();
        SetSetting(IntKey::Status, 1);
    } else {
        CheckMenuItem(GetMenu(MainWindow), IDM_VIEW_STATUS_BAR, MF_BYCOMMAND | MF_UNCHECKED);
        if (StatusBar != nullptr) {
            DestroyWindow(StatusBar);
            StatusBar = nullptr;
        }
        SetSetting(IntKey::Status, 0);
    }
    RequestLayout();
    WriteSetting(IntKey::Status, Setting(IntKey::Status));
}

void ForgetStatusBar() {
    StatusBar = nullptr;
}
