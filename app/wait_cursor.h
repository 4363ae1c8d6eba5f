// The hourglass for the length of a long operation, then the arrow again.
#ifndef TARNWICK_APP_WAIT_CURSOR_H
#define TARNWICK_APP_WAIT_CURSOR_H

#include <windows.h>

class WaitCursor {
  public:
    WaitCursor() { SetCursor(LoadCursorW(nullptr, IDC_WAIT)); }
    // The operation's error code outlives the cursor change.
    ~WaitCursor() {
        const DWORD error = GetLastError();
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        SetLastError(error);
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

#endif
