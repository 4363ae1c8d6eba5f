#include "view/status_bar.h"

#include "app/dpi.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "app/window_procedure.h"
#include "document/encoding.h"
#include "document/encoding_io.h"
#include "language/resource_ids.h"
#include "view/edit_host.h"

#include <commctrl.h>

HWND StatusBar;

namespace {

// A visible bar redraws itself within every text it is given, which costs far more than the
// refresh that computes the text. The texts therefore wait here, the last one for each part,
// until the main window handles its messages and sends them all at once; a text the part
// already shows is not sent again (the timer and every key ask for the key states anew).
struct QueuedText {
    bool waiting;
    bool known; // `text` is what the part shows
    wchar_t text[1025];
};
QueuedText Queued[kStatusPartCount];
bool TextsAnnounced;

// Texts given to the bar while one lives are drawn together when the bar next paints.
class DeferredStatusDrawing {
  public:
    DeferredStatusDrawing() { SendMessageW(StatusBar, WM_SETREDRAW, FALSE, 0); }
    ~DeferredStatusDrawing() {
        SendMessageW(StatusBar, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(StatusBar, nullptr, FALSE);
    }
    DeferredStatusDrawing(const DeferredStatusDrawing&) = delete;
    DeferredStatusDrawing& operator=(const DeferredStatusDrawing&) = delete;
};

// Right edges of the eight parts in pixels at 96 DPI; the last one runs to the bar's end.
constexpr int kPartEdges[] = {355, 495, 660, 697, 750, 798, 885, -1};

void ShowMode() {
    SetStatusText(kStatusPartMode, OverwriteMode ? L" OVR" : L" INS");
}

bool Toggled(int key) {
    return (GetKeyState(key) & 1) != 0;
}

} // namespace

void SetStatusText(int part, const wchar_t* text) {
    if (StatusBar == nullptr || part < 0 || part >= kStatusPartCount) {
        return;
    }
    QueuedText& queued = Queued[part];
    const wchar_t* const shown = text == nullptr ? L"" : text;
    if (queued.known && !queued.waiting && lstrcmpW(queued.text, shown) == 0) {
        return;
    }
    queued.waiting = true;
    queued.known = true;
    lstrcpynW(queued.text, shown, ARRAYSIZE(queued.text));
    if (!TextsAnnounced) {
        TextsAnnounced = PostMessageW(MainWindow, kShowStatusTextsMessage, 0, 0) != FALSE;
    }
}

void ShowQueuedStatusTexts() {
    TextsAnnounced = false;
    if (StatusBar == nullptr) {
        return;
    }
    const DeferredStatusDrawing drawing;
    for (int part = 0; part < kStatusPartCount; ++part) {
        QueuedText& queued = Queued[part];
        if (queued.waiting) {
            SendMessageW(StatusBar, SB_SETTEXTW, static_cast<WPARAM>(part),
                         reinterpret_cast<LPARAM>(queued.text));
            queued.waiting = false;
        }
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

void SetStatusParts() {
    if (StatusBar == nullptr) {
        return;
    }
    int edges[ARRAYSIZE(kPartEdges)];
    for (std::size_t part = 0; part < ARRAYSIZE(kPartEdges); ++part) {
        edges[part] = kPartEdges[part] < 0 ? -1 : ScaleToDpi(kPartEdges[part]);
    }
    SendMessageW(StatusBar, SB_SETPARTS, ARRAYSIZE(edges), reinterpret_cast<LPARAM>(edges));
}

void CreateStatusBar() {
    CheckMenuItem(GetMenu(MainWindow), IDM_VIEW_STATUS_BAR, MF_BYCOMMAND | MF_CHECKED);
    StatusBar = CreateStatusWindowW(WS_CHILD | WS_VISIBLE, L"", MainWindow, kStatusBarId);
    if (StatusBar == nullptr) {
        return;
    }
    SetStatusParts();
    // A new bar shows nothing yet.
    for (QueuedText& queued : Queued) {
        queued = QueuedText{};
    }
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
