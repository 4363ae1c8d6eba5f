// The window position and size shared by all running copies of Tarnwick.
#ifndef TARNWICK_APP_SHARED_PLACEMENT_H
#define TARNWICK_APP_SHARED_PLACEMENT_H

#include <windows.h>

#include <cstdint>

// The 16-byte block named "Tarnwick": the outer rectangle of the main window that any
// running copy moved or sized last.
struct PlacementBlock {
    std::int32_t x;
    std::int32_t y;
    std::int32_t width;
    std::int32_t height;
};
static_assert(sizeof(PlacementBlock) == 16);

// The mapped block while the main window exists; null before.
extern PlacementBlock* SharedPlacement;
// Set while the main window is maximized or minimized: then moves are not recorded.
extern int WindowIsMinMax;

// Opens the block of a running copy (and cascades from it) or creates it with this copy's
// geometry.
void OpenSharedPlacement();
// WM_MOVE and WM_SIZE record the window's outer rectangle.
void RecordWindowPosition(HWND window);
void RecordWindowSize(HWND window, UINT sizeType);
void CloseSharedPlacement();

#endif
