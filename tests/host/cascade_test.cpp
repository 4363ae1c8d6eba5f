#include "app/cascade.h"

#include <gtest/gtest.h>

namespace {

void ExpectPlacement(Placement got, Placement want) {
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.y, want.y);
    EXPECT_EQ(got.width, want.width);
    EXPECT_EQ(got.height, want.height);
}

TEST(Cascade, OpensThirtyPixelsUpAndLeft) {
    ExpectPlacement(Cascade({120, 100, 870, 534}, 1920, 1080), {90, 70, 870, 534});
    ExpectPlacement(Cascade({30, 30, 100, 100}, 1024, 768), {0, 0, 100, 100});
}

TEST(Cascade, OpensRightOrDownNearTheEdgeAndStaysOnTheScreen) {
    ExpectPlacement(Cascade({10, 50, 800, 500}, 1024, 768), {40, 20, 800, 500});
    ExpectPlacement(Cascade({10, 50, 1000, 500}, 1024, 768), {40, 20, 984, 500});
    ExpectPlacement(Cascade({0, 5, 500, 760}, 1024, 768), {30, 35, 500, 733});
}

} // namespace
