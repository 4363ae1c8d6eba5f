#include "app/window_procedure.h"

#include "app/commands.h"
#include "app/dpi.h"
#include "app/main_window.h"
#include "app/window_modes.h"
#include "document/disk_changes.h"
#include "document/file_commands.h"
#include "document/recovery.h"
#include "document/typing.h"
#include "language/language_menus.h"
#include "search/find_commands.h"
#include "view/fonts.h"
#include "view/status_bar.h"

UINT FindMessage;

namespace {

LRESULT OnCommand(WPARAM wParam, LPARAM) {
    const UINT code = HIWORD(wParam);
    if (code == 0 || code == 1) {
        RunCommand(LOWORD(wParam));
    } else {
        OnControlNotification(LOWORD(wParam), code);
    }
    return 0;
}

LRESULT OnSystemCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    if (RestoreLeavesFullScreen(wParam)) {
        return 0;
    }
    TrackMaximizedState(wParam);
    return DefWindowProcW(window, WM_SYSCOMMAND, wParam, lParam);
}

LRESULT OnTimer(WPARAM timer) {
    switch (timer) {
    case kStatusTimer:
        ShowKeyStates();
        break;
    case kRecoveryTimer:
        OnRecoveryTimer();
        break;
    case kDiskCheckTimer:
        CheckDocumentOnDisk();
        break;
    default:
        break;
    }
    return 0;
}

LRESULT OnActivateApp(WPARAM active) {
    OnApplicationActivated(active != FALSE);
    return 0;
}

LRESULT OnDiskCheckMessage() {
    CheckDocumentOnDisk();
    return 0;
}

LRESULT OnDiskStampMessage(LPARAM result) {
    OnDiskStampRead(result);
    return 0;
}

LRESULT OnShowStatusTexts() {
    ShowQueuedStatusTexts();
    return 0;
}

LRESULT OnPlaybackEndedMessage(WPARAM number) {
    OnPlaybackEnded(number);
    return 0;
}

LRESULT OnNotifyIconMessage(LPARAM event) {
    OnNotifyIcon(event);
    return 0;
}

LRESULT OnMenuOpening(WPARAM popup, LPARAM position) {
    OnInitMenuPopup(reinterpret_cast<HMENU>(popup), LOWORD(position));
    return 0;
}

LRESULT OnDropFiles(WPARAM drop) {
    OpenDroppedFiles(reinterpret_cast<HDROP>(drop));
    return 0;
}

LRESULT OnColourEdit(WPARAM context) {
    return reinterpret_cast<LRESULT>(ColourEditControl(reinterpret_cast<HDC>(context)));
}

LRESULT OnDpiChange(HWND window, WPARAM dpis, LPARAM suggested) {
    OnDpiChanged(window, dpis, reinterpret_cast<const RECT*>(suggested));
    return 0;
}

LRESULT OnDisplayChange() {
    CoverMonitorInFullScreen();
    return 0;
}

LRESULT OnFindMessage(LPARAM record) {
    FindMessageHandler(record);
    return 0;
}

} // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == FindMessage && FindMessage != 0) {
        return OnFindMessage(lParam);
    }
    if (OnTaskbarCreated(message)) {
        return 0;
    }
    switch (message) {
    case WM_COMMAND:
        return OnCommand(wParam, lParam);
    case WM_SYSCOMMAND:
        return OnSystemCommand(window, wParam, lParam);
    case WM_TIMER:
        return OnTimer(wParam);
    case kNotifyIconMessage:
        return OnNotifyIconMessage(lParam);
    case kShowStatusTextsMessage:
        return OnShowStatusTexts();
    case kPlaybackEndedMessage:
        return OnPlaybackEndedMessage(wParam);
    case kDiskCheckMessage:
        return OnDiskCheckMessage();
    case kDiskStampMessage:
        return OnDiskStampMessage(lParam);
    case WM_INITMENUPOPUP:
        return OnMenuOpening(wParam, lParam);
    case WM_ACTIVATE:
        return OnActivate();
    case WM_ACTIVATEAPP:
        return OnActivateApp(wParam);
    case WM_MOVE:
        return OnMove();
    case WM_SIZE:
        return OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
    case WM_DROPFILES:
        return OnDropFiles(wParam);
    case WM_CTLCOLOREDIT:
        return OnColourEdit(wParam);
    case WM_DPICHANGED:
        return OnDpiChange(window, wParam, lParam);
    case WM_DISPLAYCHANGE:
        return OnDisplayChange();
    case WM_CREATE:
        return OnCreate(window);
    case WM_CLOSE:
        return OnClose();
    case WM_QUERYENDSESSION:
        return OnQueryEndSession();
    case WM_DESTROY:
        return OnDestroy();
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
