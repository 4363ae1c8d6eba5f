// A real edit control in a hidden window, installed as the program's EditControl, and a wait
// while this thread's messages are handled.
#ifndef TARNWICK_TESTS_WINE_UNIT_EDIT_WINDOW_H
#define TARNWICK_TESTS_WINE_UNIT_EDIT_WINDOW_H

#include "app/main_window.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"

#include <functional>
#include <string>

// Handles this thread's messages until the condition holds; false after the time-out.
inline bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds = 10000) {
    for (const ULONGLONG deadline = GetTickCount64() + milliseconds; !condition();) {
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

class EditWindow {
  public:
    EditWindow() {
        // The first program of a fresh Wine session may start while Wine's desktop is still
        // being made, and no window can be created until it is there.
        PumpUntil([] {
            MainWindow = CreateWindowExW(0, L"STATIC", L"Tarnwick test", WS_OVERLAPPEDWINDOW, 0, 0,
                                         600, 400, nullptr, nullptr, nullptr, nullptr);
            return MainWindow != nullptr;
        });
        EditControl = CreateWindowExW(
            0, L"EDIT", L"",
            WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                ES_AUTOHSCROLL | ES_NOHIDESEL,
            0, 0, 600, 400, MainWindow,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditControlId)), nullptr, nullptr);
        EditLimitText(EditControl);
        EditTextHandle = EditGetHandle(EditControl);
    }
    ~EditWindow() {
        DestroyWindow(MainWindow);
        EditControl = nullptr;
        EditTextHandle = nullptr;
        MainWindow = nullptr;
    }
    EditWindow(const EditWindow&) = delete;
    EditWindow& operator=(const EditWindow&) = delete;

    std::wstring Text() const {
        std::wstring text(EditGetTextLength(EditControl) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextW(EditControl, text.data(), static_cast<int>(text.size()))));
        return text;
    }
    void SetText(const std::wstring& text) const { EditSetText(EditControl, text.c_str()); }
};

#endif
