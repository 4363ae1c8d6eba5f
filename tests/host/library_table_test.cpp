#include "language/library_table.h"

#include "test_text.h"

#include <gtest/gtest.h>

namespace {

TEST(LibraryTable, MapsTheThreeLanguagesAndEverythingElseToEnglish) {
    EXPECT_EQ(Narrow(LanguageLibraryFileName(10000)), "Czech.dll");
    EXPECT_EQ(Narrow(LanguageLibraryFileName(10001)), "English.dll");
    EXPECT_EQ(Narrow(LanguageLibraryFileName(10002)), "Slovak.dll");
    for (const std::int32_t other : {0, -1, 9999, 10003, 19999, 2147483647}) {
        EXPECT_EQ(Narrow(LanguageLibraryFileName(other)), "English.dll") << other;
    }
}

} // namespace
