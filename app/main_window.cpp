#include "app/main_window.h"

#include "app/dpi.h"

#include "app/command_line.h"
#include "app/settings.h"
#include "app/shared_placement.h"
#include "app/window_modes.h"
#include "app/window_procedure.h"
#include "document/document_path.h"
#include "document/encoding_io.h"
#include "document/file_commands.h"
#include "document/recovery.h"
#include "document/recent_files.h"
#include "language/language_library.h"
#include "language/language_menus.h"
#include "language/message_box.h"
#include "language/resource_ids.h"
#include "print/page_setup.h"
#include "search/find_commands.h"
#include "search/replace_all.h"
#include "view/edit_host.h"
#include "view/fonts.h"
#include "view/status_bar.h"

#include <commctrl.h>

HWND MainWindow;

namespace {

constexpr wchar_t kClassName[] = L"Tarnwick";
constexpr UINT kStatusTimerPeriod = 250;

HACCEL Accelerators;
HICON ApplicationIcon;
HWINEVENTHOOK CaretWatchHook;

// The file named on the command line goes into DocumentPath as a full path: a relative name
// would name another file once a file dialog has changed the current folder. A name too long
// for any path buffer, as typed or made full, is refused with a message and a new document is
// started instead.
void TakeCommandLineFileName(const wchar_t* commandLine) {
    wchar_t name[MAX_PATH];
    switch (GetCommandLineFileName(AsUnits(commandLine), AsUnitBuffer(name))) {
    case CommandLineName::Found: {
        const DWORD length = GetFullPathNameW(name, MAX_PATH, DocumentPath, nullptr);
        if (length > 0 && length < MAX_PATH) {
            return;
        }
        DocumentPath[0] = L'\0';
        break;
    }
    case CommandLineName::None:
        return;
    case CommandLineName::TooLong:
        break;
    }
    MessageBoxFromIds(nullptr, IDS_NAME_TOO_LONG, IDS_INFORMATION_CAPTION, MB_OK);
}

void RegisterWindowClass(HINSTANCE instance) {
    ApplicationIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TARNWICK));
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = ApplicationIcon;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);
}

HWND CreateMainWindow(HINSTANCE instance, HMENU menu) {
    const DWORD exStyle = WS_EX_ACCEPTFILES | (Setting(IntKey::StayOnTop) != 0 ? WS_EX_TOPMOST : 0);
    // Created with its normal frame and place even for full screen, which it enters when first
    // shown: leaving full screen then gives back that place.
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    const Placement placed = MainWindowCreationPlacement(
        {Setting(IntKey::x), Setting(IntKey::y), Setting(IntKey::Width), Setting(IntKey::Height)});
    return CreateWindowExW(exStyle, kClassName, L"Tarnwick", style, placed.x, placed.y,
                           placed.width, placed.height, nullptr, menu, instance, nullptr);
}

// A text that an ended copy could not save comes first, when the user takes it back.
void OpenFirstDocument() {
    if (RestoreRecoveredText() || (DocumentPath[0] != L'\0' && OpenCommandLineFile())) {
        return;
    }
    SendMessageW(MainWindow, WM_COMMAND, IDM_FILE_NEW, 0);
}

int RunMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (FindDialog != nullptr && IsDialogMessageW(FindDialog, &message)) {
            continue;
        }
        if (TranslateAcceleratorW(MainWindow, Accelerators, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace

void ShowCheckMarks(HMENU menu) {
    const auto check = [menu](UINT command, bool checked) {
        CheckMenuItem(menu, command, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    };
    check(IDM_FORMAT_WORD_WRAP, Setting(IntKey::Wrap) != 0);
    check(IDM_VIEW_STATUS_BAR, Setting(IntKey::Status) != 0);
    check(IDM_VIEW_FULL_SCREEN, Setting(IntKey::FullScr) != 0);
    check(IDM_OPTIONS_STAY_ON_TOP, Setting(IntKey::StayOnTop) != 0);
    check(IDM_OPTIONS_CENTER_AFTER_FIND, Setting(IntKey::CenterVertAfterFind) != 0);
    check(CurrentEncoding, true);
    check(Setting(IntKey::NewFileType) == 410 ? IDM_OPTIONS_NEW_FILE_ANSI
                                              : IDM_OPTIONS_NEW_FILE_UTF16LE,
          true);
}

int RunMainWindow(HINSTANCE instance, const wchar_t* commandLine, int showCommand) {
    INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                 ICC_HOTKEY_CLASS | ICC_ANIMATE_CLASS | ICC_DATE_CLASSES |
                                     ICC_USEREX_CLASSES | ICC_COOL_CLASSES | ICC_INTERNET_CLASSES |
                                     ICC_PAGESCROLLER_CLASS};
    InitCommonControlsEx(&classes);
    TakeCommandLineFileName(commandLine);
    FindMessage = RegisterWindowMessageW(FINDMSGSTRINGW);
    RegisterWindowClass(instance);
    HMENU menu = LoadMenuW(LanguageLibrary, MAKEINTRESOURCEW(IDR_MAIN_MENU));
    BuildRecentFileItems(menu);
    Accelerators = LoadAcceleratorsW(LanguageLibrary, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    OpenSharedPlacement();
    ShowCheckMarks(menu);
    MainWindow = CreateMainWindow(instance, menu);
    if (MainWindow == nullptr) {
        return 1;
    }
    if (Setting(IntKey::Wrap) == 0) {
        ShowScrollBar(EditControl, SB_HORZ, TRUE);
    }
    CreateStatusBarIfShown();
    SetTimer(MainWindow, kStatusTimer, kStatusTimerPeriod, nullptr);
    DragAcceptFiles(MainWindow, TRUE);
    CaretWatchHook =
        SetWinEventHook(EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_LOCATIONCHANGE, nullptr,
                        RefreshStatusOnCaretMove, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    OpenFirstDocument();
    ShowMainWindow(showCommand);
    UpdateWindow(MainWindow);
    return RunMessageLoop();
}

LRESULT OnCreate(HWND window) {
    MainWindow = window;
    TakeWindowDpi(window);
    CreateEditControl(window);
    CreateEditFont();
    SetFocus(EditControl);
    BuildProgramMenus();
    InitFileDialog(window);
    InitFindDialogRecord(window);
    InitPageSetupRecord(window);
    InitFontDialogs(window);
    InitNotifyIcon(window, ApplicationIcon);
    return 0;
}

LRESULT OnSize(UINT sizeType, int clientWidth, int clientHeight) {
    RecordWindowSize(MainWindow, sizeType);
    int editHeight = clientHeight;
    if (StatusBar != nullptr) {
        RECT bar;
        GetWindowRect(StatusBar, &bar);
        editHeight -= bar.bottom - bar.top + 1;
        SendMessageW(StatusBar, WM_SIZE, 0, 0);
    }
    MoveWindow(EditControl, 0, 0, clientWidth, editHeight, TRUE);
    VisibleLines = editHeight / LineHeight;
    return 0;
}

LRESULT OnMove() {
    RecordWindowPosition(MainWindow);
    return 0;
}

LRESULT OnActivate() {
    SetFocus(EditControl);
    return 0;
}

LRESULT OnClose() {
    if (AskSaveChanges()) {
        DestroyWindow(MainWindow);
    }
    return 0;
}

LRESULT OnQueryEndSession() {
    if (!AskSaveChanges()) {
        return FALSE;
    }
    SettingsSaveAtExit();
    return TRUE;
}

LRESULT OnDestroy() {
    KillTimer(MainWindow, kStatusTimer);
    ForgetStatusBar();
    SettingsSaveAtExit();
    if (CaretWatchHook != nullptr) {
        UnhookWinEvent(CaretWatchHook);
    }
    DeleteFontsAndBrushes();
    DropReplaceAllCopy();
    EndRecovery();
    RemoveTrayIcon();
    CloseSharedPlacement();
    PostQuitMessage(0);
    return 0;
}
