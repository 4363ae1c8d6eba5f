#include "language/dialog_placement.h"

#include "app/main_window.h"

namespace {

// The half of the difference is taken toward zero on both sides, so that a dialog larger
// than the window overhangs it by the same amount each way.
int CenteredEdge(LONG outerStart, LONG outerSize, LONG innerSize) {
    return static_cast<int>(outerStart + (outerSize - innerSize) / 2);
}

} // namespace

void CenterDialogOverMainWindow(HWND dialog) {
    RECT inner;
    RECT outer;
    if (!GetWindowRect(dialog, &inner) || !GetWindowRect(MainWindow, &outer)) {
        return;
    }
    const int x = CenteredEdge(outer.left, outer.right - outer.left, inner.right - inner.left);
    const int y = CenteredEdge(outer.top, outer.bottom - outer.top, inner.bottom - inner.top);
    SetWindowPos(dialog, MainWindow, x, y, 0, 0, SWP_NOSIZE);
}
