#include "app/path_rules.h"

#include "test_text.h"

#include <gtest/gtest.h>

#include <array>

namespace {

TEST(FolderOfPath, KeepsEverythingUpToTheLastBackslashWhenItFits) {
    const struct {
        UnitView path;
        const char* folder;
    } cases[] = {{u"C:\\a\\b.exe", "C:\\a\\"},
                 {u"C:\\", "C:\\"},
                 {u"\\\\server\\share\\x\\", "\\\\server\\share\\x\\"},
                 {u"b.exe", ""}};
    for (const auto& c : cases) {
        std::array<Unit, 260> folder{};
        folder.fill(u'#');
        ASSERT_TRUE(GetFolderOfPath(folder, c.path)) << Narrow(c.path);
        EXPECT_EQ(Narrow(folder), c.folder);
    }
    // In place, on its own buffer.
    std::array<Unit, 260> path{};
    ASSERT_TRUE(CopyTerminated(path, u"C:\\T\\Languages\\Slovak.dll"));
    ASSERT_TRUE(GetFolderOfPath(path, UnitView(path.data())));
    EXPECT_EQ(Narrow(path), "C:\\T\\Languages\\");
    // A folder that does not fit is refused.
    std::array<Unit, 7> folder{};
    EXPECT_FALSE(GetFolderOfPath(folder, u"C:\\abc\\d.txt"));
    EXPECT_EQ(folder[0], u'\0');
    EXPECT_TRUE(GetFolderOfPath(folder, u"C:\\ab\\d.txt"));
    EXPECT_EQ(Narrow(folder), "C:\\ab\\");
}

TEST(ComposedPath, JoinsFolderAndNameUpToTwoHundredFiftyNineUnitsOrWritesNothing) {
    std::array<Unit, 260> path{};
    ASSERT_TRUE(ComposePath(path, u"C:\\Tarnwick\\", u"Tarnwick.ini"));
    EXPECT_EQ(Narrow(path), "C:\\Tarnwick\\Tarnwick.ini");

    const std::u16string folder = u"C:\\" + std::u16string(240, u'f') + u"\\";
    const std::u16string fits(259 - folder.size(), u'n');
    ASSERT_TRUE(ComposePath(path, folder, fits));
    EXPECT_EQ(Narrow(path).size(), 259u);
    EXPECT_FALSE(ComposePath(path, folder, fits + u"n"));
    EXPECT_EQ(path[0], u'\0') << "a refused path must not be half written";

    // An unknown executable folder must not turn "Tarnwick.ini" into a relative path.
    path[0] = u'x';
    EXPECT_FALSE(ComposePath(path, u"", u"Tarnwick.ini"));
    EXPECT_EQ(path[0], u'\0');

    // A copy without room for its terminator is refused.
    std::array<Unit, 4> buffer{};
    EXPECT_TRUE(CopyTerminated(buffer, u"abc"));
    EXPECT_EQ(Narrow(buffer), "abc");
    EXPECT_FALSE(CopyTerminated(buffer, u"abcd"));
    EXPECT_EQ(buffer[0], u'\0');
}

} // namespace
