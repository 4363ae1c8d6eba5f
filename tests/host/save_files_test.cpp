#include "document/save_files.h"

#include <gtest/gtest.h>

namespace {

TEST(NewContentOwner, IsReadOnlyFromTheSavesOwnNames) {
    EXPECT_EQ(NewContentOwner(u"twk4242-1.tmp"), 4242u);
    EXPECT_EQ(NewContentOwner(u"TWK7-12.TMP"), 7u);
    EXPECT_EQ(NewContentOwner(u"twk4294967295-1.tmp"), 4294967295u);
    // Backups, foreign files and near misses belong to nobody.
    for (const UnitView name :
         {u"twk42-1.bak", u"twk1A2B.tmp", u"twk-1.tmp", u"twk42-.tmp", u"twk42-1.tmp.txt",
          u"xtwk42-1.tmp", u"twk4294967296-1.tmp", u"twk42-1-2.tmp"}) {
        EXPECT_EQ(NewContentOwner(name), std::nullopt) << std::string(name.begin(), name.end());
    }
}

} // namespace
