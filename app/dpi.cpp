#include "app/dpi.h"

#include "app/window_modes.h"
#include "view/fonts.h"
#include "view/status_bar.h"

UINT WindowDpi = USER_DEFAULT_SCREEN_DPI;

namespace {

// The system's DPI, which the screen's device context reports.
UINT SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != nullptr) {
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

// GetDpiForWindow exists from Windows 10 version 1607 on; earlier systems have one DPI.
UINT DpiOfWindow(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow =
        reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    const UINT dpi = getDpiForWindow != nullptr ? getDpiForWindow(window) : 0;
    return dpi != 0 ? dpi : SystemDpi();
}

} // namespace

void InitDpi() {
    WindowDpi = SystemDpi();
}

void TakeWindowDpi(HWND window) {
    WindowDpi = DpiOfWindow(window);
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
    if (!CoverMonitorInFullScreen() && suggested != nullptr) {
        SetWindowPos(window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
