#include "tests/wine-unit/edit_window.h"

#include "app/main_window.h"
#include "tests/support/files.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"

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
