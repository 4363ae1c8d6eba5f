#include "document/save_files.h"

#include <gtest/gtest.h>

namespace {

TEST(NewContentName, IsReadOnlyFromTheSavesOwnNames) {
    const struct {
        UnitView name;
        std::uint32_t process;
        UnitView target;
    } owned[] = {
        {u"twk4242-1~notes.txt.tmp", 4242, u"notes.txt"},
        {u"TWK7-12~A~B.TMP.TMP", 7, u"A~B.TMP"},
        {u"twk4294967295-1.tmp", 4294967295u, u""},
    };
    for (const auto& c : owned) {
        const auto read = ReadNewContentName(c.name);
        ASSERT_TRUE(read) << std::string(c.name.begin(), c.name.end());
        EXPECT_EQ(read->process, c.process);
        EXPECT_TRUE(read->target == c.target) << std::string(c.name.begin(), c.name.end());
    }
    // Backups, foreign files and near misses belong to nobody.
    for (const UnitView name : {u"twk42-1.bak", u"twk1A2B.tmp", u"twk-1.tmp", u"twk42-.tmp",
                                u"twk42-1.tmp.txt", u"xtwk42-1.tmp", u"twk4294967296-1.tmp",
                                u"twk42-1-2.tmp", u"twk42-1~.tmp", u"twk42-1x.txt.tmp"}) {
        EXPECT_EQ(ReadNewContentName(name), std::nullopt) << std::string(name.begin(), name.end());
    }
}

} // namespace
