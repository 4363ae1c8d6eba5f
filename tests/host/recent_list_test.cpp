#include "document/recent_list.h"

#include "test_text.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::size_t> Entries(const RecentOrder& order, std::size_t count) {
    return {order.begin(), order.begin() + static_cast<std::ptrdiff_t>(count)};
}

TEST(RecentList, AListedPathMovesToTheFrontWithoutACopy) {
    RecentOrder order = InitialRecentOrder();
    // Re-opening entry 4 of 6: the order by former positions is 4, 0, 1, 2, 3, 5.
    RecentPlacement placed = PlaceAtFront(order, 6, 4);
    EXPECT_FALSE(placed.takesPath);
    EXPECT_EQ(placed.count, 6u);
    EXPECT_EQ(Entries(order, 6), (std::vector<std::size_t>{4, 0, 1, 2, 3, 5}));
    // The entry already at the front, and a list of one, stay as they are.
    PlaceAtFront(order, 6, 4);
    EXPECT_EQ(Entries(order, 6), (std::vector<std::size_t>{4, 0, 1, 2, 3, 5}));
    RecentOrder single = InitialRecentOrder();
    placed = PlaceAtFront(single, 1, 0);
    EXPECT_EQ(placed.count, 1u);
    EXPECT_EQ(single[0], 0u);
}

TEST(RecentList, ANewPathTakesTheFirstFreeSlotOrWhenFullTheOldestsAndGoesToTheFront) {
    RecentOrder order = InitialRecentOrder();
    for (std::size_t count = 0; count < 10; ++count) {
        const RecentPlacement placed = PlaceAtFront(order, count, std::nullopt);
        EXPECT_EQ(placed.slot, count);
        EXPECT_TRUE(placed.takesPath);
        EXPECT_EQ(placed.count, count + 1);
    }
    EXPECT_EQ(Entries(order, 10), (std::vector<std::size_t>{9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
    const RecentPlacement placed = PlaceAtFront(order, 10, std::nullopt);
    EXPECT_EQ(placed.slot, 0u) << "the oldest file's slot";
    EXPECT_TRUE(placed.takesPath);
    EXPECT_EQ(placed.count, 10u);
    EXPECT_EQ(Entries(order, 10), (std::vector<std::size_t>{0, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
}

TEST(RecentList, ItemTextsNumberTheEntryAndShowAmpersandsAsThemselves) {
    std::array<Unit, kRecentItemCapacity> buffer{};
    RecentItemText(0, u"C:\\texts\\a.txt", buffer);
    EXPECT_EQ(Narrow(buffer), "&0: C:\\texts\\a.txt");
    RecentItemText(9, u"C:\\R&D\\&.txt", buffer);
    EXPECT_EQ(Narrow(buffer), "&9: C:\\R&&D\\&&.txt");
    // The longest path, all ampersands, still fits whole.
    const std::u16string ampersands(259, u'&');
    EXPECT_EQ(RecentItemText(3, ampersands, buffer), kRecentItemCapacity - 1);
    EXPECT_EQ(buffer[kRecentItemCapacity - 1], u'\0');
}

} // namespace
