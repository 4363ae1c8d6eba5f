#include "app/cascade.h"
#include "app/dpi_scaling.h"

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

using Geometry = std::array<std::int32_t, 4>;

// What a start stores: the window created with this rectangle takes the window DPI at
// WM_CREATE, and its first WM_MOVE and WM_SIZE record what they see at 96 DPI.
Geometry RecordedAt(Placement created, std::int32_t windowDpi) {
    const Placement recorded = ScalePlacement(created, windowDpi, kStoredDpi);
    return {recorded.x, recorded.y, recorded.width, recorded.height};
}

TEST(CreationPlacement, StoresTheSameGeometryAtEveryStartWhateverTheSystemAndMonitorDpi) {
    constexpr Placement stored{120, 100, 770, 534};
    constexpr Geometry same{120, 100, 770, 534};
    const struct {
        std::int32_t system;
        std::int32_t monitor;
    } starts[] = {{96, 120}, {120, 96}, {144, 96}};
    for (const auto& start : starts) {
        SCOPED_TRACE(testing::Message()
                     << "system " << start.system << ", monitor " << start.monitor);
        EXPECT_EQ(RecordedAt(CreationPlacement(stored, start.system, start.monitor), start.monitor),
                  same);
        // Created at the system's DPI, the window would store another size at every start.
        EXPECT_NE(RecordedAt(ScalePlacement(stored, kStoredDpi, start.system), start.monitor),
                  same);
    }
    // A system that cannot tell a monitor's DPI gives every window its own.
    EXPECT_EQ(RecordedAt(CreationPlacement(stored, 120, 0), 120), same);
}

} // namespace
