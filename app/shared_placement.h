// The window position and size shared by all running copies of Tarnwick.
#ifndef TARNWICK_APP_SHARED_PLACEMENT_H
#define TARNWICK_APP_SHARED_PLACEMENT_H

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

#endif
