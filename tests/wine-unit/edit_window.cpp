#include "tests/wine-unit/edit_window.h"

#include "app/main_window.h"
#include "language/language_library.h"
#include "tests/support/files.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"

#include <algorithm>

EditWindow::EditWindow() {
    // The first program of a fresh Wine session may start while Wine's desktop is still being
    // made, and no window can be created until it is there.
    for (int attempt = 0; attempt < 100; ++attempt) {
        parent_ = CreateWindowExW(0, L"STATIC", L"Tarnwick test", WS_OVERLAPPEDWINDOW, 0, 0, 600,
                                  400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (parent_ != nullptr) {
            break;
        }
        Sleep(100);
    }
    EditControl = CreateWindowExW(0, L"EDIT", L"",
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                      ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL,
                                  0, 0, 600, 400, parent_,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditControlId)),
                                  GetModuleHandleW(nullptr), nullptr);
    EditLimitText(EditControl);
    EditTextHandle = EditGetHandle(EditControl);
    MainWindow = parent_;
}

EditWindow::~EditWindow() {
    DestroyWindow(parent_);
    EditControl = nullptr;
    EditTextHandle = nullptr;
    MainWindow = nullptr;
}

std::wstring EditWindow::Text() const {
    std::wstring text(EditGetTextLength(EditControl) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(EditControl, text.data(), static_cast<int>(text.size()))));
    return text;
}

void EditWindow::SetText(const std::wstring& text) const {
    EditSetText(EditControl, text.c_str());
}

bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    while (!condition()) {
        if (GetTickCount64() >= deadline) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return true;
}

MessageBoxAnswerer::MessageBoxAnswerer()
    : thread_(GetCurrentThreadId()), watcher_([this] { Watch(); }) {}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    watcher_.join();
}

std::vector<MessageBoxAnswerer::Seen> MessageBoxAnswerer::Boxes() const {
    std::lock_guard lock(mutex_);
    return seen_;
}

void MessageBoxAnswerer::Watch() {
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stop_) {
                return;
            }
        }
        struct Found {
            std::vector<HWND> boxes;
        } found;
        EnumThreadWindows(
            thread_,
            [](HWND window, LPARAM parameter) -> BOOL {
                wchar_t name[16];
                GetClassNameW(window, name, 16);
                if (std::wstring(name) == L"#32770" && IsWindowVisible(window)) {
                    reinterpret_cast<Found*>(parameter)->boxes.push_back(window);
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        for (HWND box : found.boxes) {
            std::lock_guard lock(mutex_);
            if (std::find(answered_.begin(), answered_.end(), box) != answered_.end()) {
                continue;
            }
            wchar_t caption[512] = L"";
            wchar_t text[1024] = L"";
            GetWindowTextW(box, caption, 512);
            GetWindowTextW(GetDlgItem(box, 0xFFFF), text, 1024);
            seen_.push_back({caption, text});
            answered_.push_back(box);
            // The first button: Yes of a question, else OK.
            PostMessageW(box, WM_COMMAND, GetDlgItem(box, IDYES) != nullptr ? IDYES : IDOK, 0);
        }
        Sleep(20);
    }
}

std::wstring LanguageString(UINT id) {
    return ResourceString(LanguageLibrary, id);
}
