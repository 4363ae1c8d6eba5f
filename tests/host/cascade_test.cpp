#include "app/cascade.h"

#include <gtest/gtest.h>

#include <array>

namespace {

std::array<std::int32_t, 4> Cascaded(Placement placement, std::int32_t width, std::int32_t height) {
    const Placement p = Cascade(placement, width, height);
    return {p.x, p.y, p.width, p.height};
}

TEST(Cascade, OpensThirtyPixelsUpAndLeftOrNearTheEdgeRightOrDownStayingOnTheScreen) {
    using Expected = std::array<std::int32_t, 4>;
    EXPECT_EQ(Cascaded({120, 100, 870, 534}, 1920, 1080), (Expected{90, 70, 870, 534}));
    EXPECT_EQ(Cascaded({30, 30, 100, 100}, 1024, 768), (Expected{0, 0, 100, 100}));
    EXPECT_EQ(Cascaded({10, 50, 1000, 500}, 1024, 768), (Expected{40, 20, 984, 500}));
    EXPECT_EQ(Cascaded({0, 5, 500, 760}, 1024, 768), (Expected{30, 35, 500, 733}));
}

} // namespace
