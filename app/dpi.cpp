#include "app/dpi.h"

#include "view/fonts.h"
#include "view/status_bar.h"

UINT WindowDpi = USER_DEFAULT_SCREEN_DPI;

void InitDpi() {
    const UINT dpi = GetDpiForSystem();
    WindowDpi = dpi != 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

void TakeWindowDpi(HWND window) {
    if (const UINT dpi = GetDpiForWindow(window)) {
        WindowDpi = dpi;
    }
}

int ScaleToDpi(int pixelsAt96) {
    return MulDiv(pixelsAt96, static_cast<int>(WindowDpi), USER_DEFAULT_SCREEN_DPI);
}

int ScaleTo96(int pixels) {
    return MulDiv(pixels, USER_DEFAULT_SCREEN_DPI, static_cast<int>(WindowDpi));
}

void OnDpiChanged(HWND window, WPARAM dpis, const RECT* suggested) {
    const UINT dpi = HIWORD(dpis);
    if (dpi == 0 || dpi == WindowDpi) {
        return;
    }
    WindowDpi = dpi;
    ApplyFontSize();
    SetStatusParts();
    if (suggested != nullptr) {
        SetWindowPos(window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
