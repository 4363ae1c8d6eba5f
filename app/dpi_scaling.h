// Geometry between DPIs. The main window's place and size are stored in pixels at 96 DPI; the
// window works in pixels at its own DPI, that of the monitor it is on, which need not be the
// system's (the DPI at sign-in).
#ifndef TARNWICK_APP_DPI_SCALING_H
#define TARNWICK_APP_DPI_SCALING_H

#include "app/cascade.h"

#include <cstdint>

inline constexpr std::int32_t kStoredDpi = 96;

// Pixels at one DPI as pixels at another, rounded to the nearest pixel, halves away from zero,
// as MulDiv rounds. Scaled up and back down, a length comes back exact: the first rounding is
// at most half a pixel, and less than that after the way back.
std::int32_t ScalePixels(std::int32_t pixels, std::int32_t fromDpi, std::int32_t toDpi);
Placement ScalePlacement(Placement placement, std::int32_t fromDpi, std::int32_t toDpi);

// The main window's rectangle at its creation, from the stored geometry. The window takes the
// DPI of the monitor it opens on, and records its place and size at that DPI, so it is created
// at that DPI rather than the system's. monitorDpi is 0 where the system cannot tell one
// monitor's DPI from another's (before Windows 8.1): every window has the system's there.
Placement CreationPlacement(Placement stored, std::int32_t systemDpi, std::int32_t monitorDpi);

#endif
