// A real edit control in a hidden window, installed as the program's EditControl, and
// helpers to wait while its messages are handled.
#ifndef TARNWICK_TESTS_WINE_UNIT_EDIT_WINDOW_H
#define TARNWICK_TESTS_WINE_UNIT_EDIT_WINDOW_H

#include <windows.h>

#include <functional>
#include <string>

class EditWindow {
  public:
    EditWindow();
    ~EditWindow();
    EditWindow(const EditWindow&) = delete;
    EditWindow& operator=(const EditWindow&) = delete;

    std::wstring Text() const;
    void SetText(const std::wstring& text) const;

  private:
    HWND parent_;
};

// Handles this thread's messages until the condition holds; false after the time-out.
bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds = 10000);

#endif
