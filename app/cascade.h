// Where a second copy of Tarnwick opens: beside the window that was placed last.
#ifndef TARNWICK_APP_CASCADE_H
#define TARNWICK_APP_CASCADE_H

#include <cstdint>

struct Placement {
    std::int32_t x;
    std::int32_t y;
    std::int32_t width;
    std::int32_t height;
};

inline constexpr std::int32_t kCascadeStep = 30;

// 30 pixels up and to the left; near the left or top edge 30 pixels right or down instead,
// narrowed or shortened so that the window still ends on the screen.
Placement Cascade(Placement placement, std::int32_t screenWidth, std::int32_t screenHeight);

#endif
