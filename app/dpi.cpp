#include "app/dpi.h"

#include "app/window_modes.h"
#include "view/fonts.h"
#include "view/status_bar.h"

#include <shellscalingapi.h>

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

// GetDpiForMonitor (shcore.dll) exists from Windows 8.1 on; 0 on earlier systems, which have
// one DPI for all monitors.
UINT DpiOfMonitor(HMONITOR monitor) {
    static const auto getDpiForMonitor = [] {
        HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return shcore != nullptr
                   ? reinterpret_cast<decltype(&GetDpiForMonitor)>(
                         reinterpret_cast<void (*)()>(GetProcAddress(shcore, "GetDpiForMonitor")))
                   : nullptr;
    }();
    UINT dpiX = 0;
    UINT dpiY = 0;
    if (getDpiForMonitor == nullptr || monitor == nullptr ||
        FAILED(getDpiForMonitor(monitor, MDT_EFFECTIVE_DPI, &dpiX, &dpiY))) {
        return 0;
    }
    return dpiY;
}

// GetDpiForWindow exists from Windows 10 version 1607 on; on Windows 8.1 a window has the DPI
// of its monitor, and earlier systems have one DPI.
UINT DpiOfWindow(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow =
        reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    UINT dpi = getDpiForWindow != nullptr ? getDpiForWindow(window) : 0;
    if (dpi == 0) {
        dpi = DpiOfMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
    }
    return dpi != 0 ? dpi : SystemDpi();
}

} // namespace

void InitDpi() {
    WindowDpi = SystemDpi();
}

void TakeWindowDpi(HWND window) {
    WindowDpi = DpiOfWindow(window);
}

Placement MainWindowCreationPlacement(Placement stored) {
    const auto systemDpi = static_cast<std::int32_t>(SystemDpi());
    const Placement atSystemDpi = ScalePlacement(stored, kStoredDpi, systemDpi);
    const RECT area{atSystemDpi.x, atSystemDpi.y, atSystemDpi.x + atSystemDpi.width,
                    atSystemDpi.y + atSystemDpi.height};
    const UINT monitorDpi = DpiOfMonitor(MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST));
    return CreationPlacement(stored, systemDpi, static_cast<std::int32_t>(monitorDpi));
}

int ScaleToDpi(int pixelsAt96) {
    return ScalePixels(pixelsAt96, kStoredDpi, static_cast<std::int32_t>(WindowDpi));
}

int ScaleTo96(int pixels) {
    return ScalePixels(pixels, static_cast<std::int32_t>(WindowDpi), kStoredDpi);
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
