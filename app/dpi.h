// The main window's dots per inch. Geometry is stored (settings file, the shared placement
// block) in pixels at 96 DPI, so that copies and restarts at other DPIs agree on it; it is
// scaled to the window's DPI where it is used.
#ifndef TARNWICK_APP_DPI_H
#define TARNWICK_APP_DPI_H

#include "app/dpi_scaling.h"

#include <windows.h>

// The system's DPI until the main window exists, then the window's own.
extern UINT WindowDpi;

void InitDpi();
// The main window's rectangle at its creation from the stored geometry (pixels at 96 DPI): at
// the DPI of the monitor that geometry lies on at the system's DPI, which the window takes.
Placement MainWindowCreationPlacement(Placement stored);
// WM_CREATE: the DPI of the monitor the window opened on.
void TakeWindowDpi(HWND window);
// Pixels at 96 DPI to pixels at the window's DPI, and back.
int ScaleToDpi(int pixelsAt96);
int ScaleTo96(int pixels);
// WM_DPICHANGED: the new DPI, the font and the status bar for it, and the suggested rectangle
// (in full screen, the whole monitor instead).
void OnDpiChanged(HWND window, WPARAM dpis, const RECT* suggested);

#endif
