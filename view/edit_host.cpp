#include "view/edit_host.h"

#include "app/handles.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "app/wait_cursor.h"
#include "document/file_commands.h"
#include "document/typing.h"
#include "language/message_box.h"
#include "language/resource_ids.h"
#include "search/replace_all.h"
#include "view/edit_ops.h"
#include "view/fonts.h"
#include "view/status_bar.h"

HWND EditControl;
HLOCAL EditTextHandle;
int OverwriteMode;
int CapsLockOn;
int NumLockOn;
SelectionRange SelectionRecord;

namespace {

constexpr DWORD kStartupExStyle = WS_EX_ACCEPTFILES;
constexpr DWORD kStartupStyleWrapped =
    WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_NOHIDESEL | ES_MULTILINE;
constexpr DWORD kRecreatedExStyle = WS_EX_CLIENTEDGE | WS_EX_ACCEPTFILES;
constexpr DWORD kRecreatedStyleWrapped =
    WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_NOHIDESEL | ES_MULTILINE;

WNDPROC EditOriginalProc;
int ControlDown;
int ShiftDown;
int AltDown;

LRESULT PassOn(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(EditOriginalProc, EditControl, message, wParam, lParam);
}

bool KeyDown(int key) {
    return (GetKeyState(key) & 0x80) != 0;
}
bool KeyToggled(int key) {
    return (GetKeyState(key) & 1) != 0;
}

void TakeKeyStates() {
    ControlDown = KeyDown(VK_CONTROL);
    ShiftDown = KeyDown(VK_SHIFT);
    AltDown = KeyDown(VK_MENU);
    CapsLockOn = KeyToggled(VK_CAPITAL);
    NumLockOn = KeyToggled(VK_NUMLOCK);
    ShowKeyStates();
}

void OnInsertKey() {
    if (ControlDown) {
        PassOn(WM_COPY, 0, 0);
    } else if (ShiftDown) {
        PassOn(WM_PASTE, 0, 0);
    } else if (!AltDown) {
        OverwriteMode = OverwriteMode ? 0 : 1;
        ShowKeyStates();
    }
}

// Every key may move the caret or change the text; the status follows at once, since the
// caret hook does not report caret moves everywhere (Wine sends it none).
LRESULT OnKeyDown(WPARAM key, LPARAM lParam) {
    TakeKeyStates();
    LRESULT result = 0;
    if (key == VK_INSERT) {
        OnInsertKey();
    } else {
        result = PassOn(WM_KEYDOWN, key, lParam);
    }
    RefreshStatus();
    return result;
}

// In overwrite mode each typed character first deletes what it replaces.
LRESULT OnChar(WPARAM code, LPARAM lParam) {
    const PlaybackCharacterScope playback;
    if (code != '\r' && OverwriteMode) {
        PassOn(WM_KEYDOWN, VK_DELETE, 0);
    }
    const LRESULT result = PassOn(WM_CHAR, code, lParam);
    RefreshStatus();
    return result;
}

// Clicks and drags with the left button move the caret or the selection.
LRESULT OnMouse(UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = PassOn(message, wParam, lParam);
    if (message != WM_MOUSEMOVE || (wParam & MK_LBUTTON) != 0) {
        RefreshStatus();
    }
    return result;
}

// The context menu is the menu bar's edit popup itself, so it follows a change of language.
LRESULT OnRightButtonDown(WPARAM wParam, LPARAM lParam) {
    HMENU popup = GetSubMenu(GetMenu(MainWindow), 1);
    if (popup != nullptr) {
        UpdateEditMenu(popup);
        POINT point{LOWORD(lParam), HIWORD(lParam)};
        ClientToScreen(MainWindow, &point);
        TrackPopupMenu(popup, 0, point.x, point.y, 0, MainWindow, nullptr);
    }
    return PassOn(WM_RBUTTONDOWN, wParam, lParam);
}

// The drop is finished (and its handle freed) by the opening; the control never sees it.
LRESULT OnDropFiles(WPARAM wParam) {
    OpenDroppedFiles(reinterpret_cast<HDROP>(wParam));
    return 0;
}

LRESULT CALLBACK EditSubclassProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DROPFILES:
        return OnDropFiles(wParam);
    case WM_KEYDOWN:
        return OnKeyDown(wParam, lParam);
    case WM_CHAR:
        return OnChar(wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
        return OnMouse(message, wParam, lParam);
    case WM_RBUTTONDOWN:
        return OnRightButtonDown(wParam, lParam);
    default:
        return PassOn(message, wParam, lParam);
    }
}

void SubclassEditControl(HWND control) {
    EditLimitText(control);
    EditTextHandle = EditGetHandle(control);
    EditOriginalProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_WNDPROC));
    SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditSubclassProc));
}

HWND NewEditControl(HWND parent, DWORD exStyle, DWORD style) {
    return CreateWindowExW(exStyle, L"EDIT", L"", style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditControlId)),
                           GetModuleHandleW(nullptr), nullptr);
}

DWORD WrapStyle(DWORD wrappedStyle) {
    return Setting(IntKey::Wrap) != 0 ? wrappedStyle : wrappedStyle | WS_HSCROLL;
}

void ShowOutOfMemory() {
    MessageBoxFromIds(MainWindow, IDS_OUT_OF_MEMORY, IDS_ERROR_CAPTION, MB_ICONERROR);
}

// A control of the other style in place of the old one, with the same text, modified flag
// and selection. The old control goes only once the new one holds the text, so the text is
// never lost.
void RecreateEditControl(DWORD style) {
    WaitCursor wait;
    const bool modified = EditGetModify(EditControl);
    const EditSelection selection = EditGetSel(EditControl);
    SelectionRecord = {selection.start, selection.end};
    const DWORD length = EditGetTextLength(EditControl);
    GlobalBlock text((SIZE_T{length} + 1) * sizeof(wchar_t));
    if (!text) {
        ShowOutOfMemory();
        return;
    }
    GetWindowTextW(EditControl, text.As<wchar_t>(), static_cast<int>(length + 1));
    HWND created = NewEditControl(MainWindow, kRecreatedExStyle, style);
    if (created == nullptr) {
        ShowOutOfMemory();
        return;
    }
    EditLimitText(created);
    if (EditFont != nullptr) {
        EditSetFont(created, EditFont);
    }
    if (!EditSetText(created, text.As<wchar_t>())) {
        DestroyWindow(created);
        ShowOutOfMemory();
        return;
    }
    EditSetModify(created, modified);
    DestroyWindow(EditControl);
    EditControl = created;
    SubclassEditControl(EditControl);
    RequestLayout();
    SetFocus(EditControl);
    EditSetSel(EditControl, SelectionRecord.SelStart, SelectionRecord.SelEnd);
}

void EnableCommands(HMENU menu, std::initializer_list<UINT> commands, bool enabled) {
    for (UINT command : commands) {
        EnableMenuItem(menu, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
}

} // namespace

void CreateEditControl(HWND parent) {
    if (Setting(IntKey::Wrap) != 0) {
        CheckMenuItem(GetMenu(parent), IDM_FORMAT_WORD_WRAP, MF_BYCOMMAND | MF_CHECKED);
    }
    EditControl = NewEditControl(parent, kStartupExStyle, WrapStyle(kStartupStyleWrapped));
    SubclassEditControl(EditControl);
}

void ToggleWordWrap() {
    WriteSetting(IntKey::Wrap, Setting(IntKey::Wrap) != 0 ? 0 : 1);
    CheckMenuItem(GetMenu(MainWindow), IDM_FORMAT_WORD_WRAP,
                  MF_BYCOMMAND | (Setting(IntKey::Wrap) != 0 ? MF_CHECKED : MF_UNCHECKED));
    RecreateEditControl(WrapStyle(kRecreatedStyleWrapped));
}

void RequestLayout() {
    RECT client;
    GetClientRect(MainWindow, &client);
    SendMessageW(MainWindow, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

void UpdateEditMenu(HMENU menu) {
    EnableCommands(menu,
                   {IDM_SEARCH_FIND, IDM_SEARCH_FIND_NEXT, IDM_SEARCH_REPLACE, IDM_SEARCH_GOTO_LINE,
                    IDM_EDIT_SELECT_ALL, IDM_EDIT_SELECT_LINE, IDM_EDIT_DELETE_LINE,
                    IDM_SEARCH_FIND_PREVIOUS},
                   EditGetTextLength(EditControl) != 0);
    EnableCommands(menu, {IDM_EDIT_UNDO}, EditCanUndo(EditControl) || ReplaceAllUndoAvailable);
    EnableCommands(menu, {IDM_EDIT_PASTE, IDM_EDIT_CLEAR_CLIPBOARD},
                   IsClipboardFormatAvailable(CF_TEXT) != FALSE);
    EnableCommands(menu,
                   {IDM_EDIT_CUT, IDM_EDIT_COPY, IDM_EDIT_DELETE, IDM_EDIT_LOWER_CASE,
                    IDM_EDIT_UPPER_CASE, IDM_EDIT_INVERT_CASE, IDM_EDIT_REVERSE},
                   SelectionRecord.SelStart != SelectionRecord.SelEnd);
}

void GiveTextBlock(HLOCAL block) {
    // The control must never hold a block that is gone: its old one is freed after the change.
    const HLOCAL previous = EditGetHandle(EditControl);
    EditSetHandle(EditControl, block);
    EditTextHandle = EditGetHandle(EditControl);
    if (previous != nullptr && previous != EditTextHandle) {
        LocalFree(previous);
    }
}
