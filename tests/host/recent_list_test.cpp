#include "document/recent_list.h"

#include "test_text.h"

#include <gtest/gtest.h>

namespace {

TEST(RecentList, ItemTextsNumberTheEntryAndShowAmpersandsAsThemselves) {
    std::array<Unit, kRecentItemCapacity> buffer{};
    RecentItemText(9, u"C:\\R&D\\&.txt", buffer);
    EXPECT_EQ(Narrow(buffer), "&9: C:\\R&&D\\&&.txt");
    // The longest path, all ampersands, still fits whole.
    const std::u16string ampersands(259, u'&');
    EXPECT_EQ(RecentItemText(3, ampersands, buffer), 4 + 2 * 259u);
    EXPECT_EQ(buffer[kRecentItemCapacity - 1], u'\0');
}

} // namespace
