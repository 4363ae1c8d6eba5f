#include "app/cascade.h"

namespace {

void CascadeAxis(std::int32_t& position, std::int32_t& extent, std::int32_t screen) {
    if (position >= kCascadeStep) {
        position -= kCascadeStep;
        return;
    }
    if (std::int64_t{position} + extent + kCascadeStep > screen) {
        extent = screen - position - kCascadeStep;
    }
    position += kCascadeStep;
}

} // namespace

Placement Cascade(Placement placement, std::int32_t screenWidth, std::int32_t screenHeight) {
    CascadeAxis(placement.x, placement.width, screenWidth);
    CascadeAxis(placement.y, placement.height, screenHeight);
    return placement;
}
