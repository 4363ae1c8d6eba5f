#include "app/command_line.h"
#include "app/path_rules.h"
#include "document/recent_list.h"
#include "test_text.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <utility>

namespace {

// The outcome and the name found, if any. The destination is filled with marks so that a
// missing terminator shows in the name.
std::pair<CommandLineName, std::string> Extract(const std::u16string& commandLine) {
    std::array<Unit, 260> destination{};
    destination.fill(u'#');
    const CommandLineName outcome = GetCommandLineFileName(commandLine, destination);
    return {outcome, outcome == CommandLineName::Found ? Narrow(destination) : ""};
}

TEST(CommandLine, YieldsTheFileNameAfterTheProgramNameWhenItFits) {
    using enum CommandLineName;
    const std::tuple<std::u16string, CommandLineName, std::string> cases[] = {
        {u"", None, ""},
        {u"Tarnwick.exe ", None, ""},
        {u"\"C:\\Program Files\\Tarnwick.exe\"", None, ""},
        // An unquoted name keeps its blanks, trailing ones too; blanks before it are skipped.
        {u"\"C:\\Program Files\\Tarnwick.exe\" C:\\a b.txt", Found, "C:\\a b.txt"},
        {u"Tarnwick.exe    a.txt  ", Found, "a.txt  "},
        // A quoted name ends at its closing quote, or else at the end of the line.
        {u"Tarnwick.exe \"a b.txt\" c.txt", Found, "a b.txt"},
        {u"Tarnwick.exe \"\"", Found, ""},
        {u"Tarnwick.exe \"a b.txt", Found, "a b.txt"},
        // A tab is no separator, but belongs to the name after the blank.
        {u"Tarnwick.exe\ta.txt", None, ""},
        {u"Tarnwick.exe \ta.txt", Found, "\ta.txt"},
        // A program name quoted without its closing quote takes the whole line.
        {u"\"C:\\Tarnwick.exe a.txt", None, ""},
        {u"\"Tarnwick.exe\"a.txt", Found, "a.txt"},
        {u"Tarnwick.exe " + std::u16string(259, u'n'), Found, std::string(259, 'n')}};
    for (const auto& [line, outcome, name] : cases) {
        EXPECT_EQ(Extract(line), std::pair(outcome, name)) << Narrow(line);
    }

    // A name that does not fit leaves the destination untouched.
    std::array<Unit, 8> small{u'k'};
    EXPECT_EQ(GetCommandLineFileName(u"Tarnwick.exe abcdefgh", small), TooLong);
    EXPECT_EQ(GetCommandLineFileName(u"Tarnwick.exe \"abcdefgh\"", small), TooLong);
    EXPECT_EQ(GetCommandLineFileName(u"Tarnwick.exe", small), None);
    EXPECT_EQ(Narrow(small), "k");
    EXPECT_EQ(GetCommandLineFileName(u"Tarnwick.exe abcdefg", small), Found);
    EXPECT_EQ(Narrow(small), "abcdefg");
}

TEST(FolderOfPath, KeepsEverythingUpToTheLastBackslashWhenItFits) {
    const std::pair<UnitView, const char*> cases[] = {
        {u"C:\\a\\b.exe", "C:\\a\\"}, {u"C:\\", "C:\\"}, {u"b.exe", ""}};
    for (const auto& [path, expected] : cases) {
        std::array<Unit, 260> folder{};
        folder.fill(u'#');
        ASSERT_TRUE(GetFolderOfPath(folder, path)) << Narrow(path);
        EXPECT_EQ(Narrow(folder), expected);
    }
    // A folder that does not fit is refused.
    std::array<Unit, 7> folder{};
    EXPECT_FALSE(GetFolderOfPath(folder, u"C:\\abc\\d.txt"));
    EXPECT_EQ(folder[0], u'\0');
    EXPECT_TRUE(GetFolderOfPath(folder, u"C:\\ab\\d.txt"));
    EXPECT_EQ(Narrow(folder), "C:\\ab\\");
}

TEST(ComposedPath, JoinsFolderAndNameUpToTwoHundredFiftyNineUnitsOrWritesNothing) {
    std::array<Unit, 260> path{};
    const std::u16string folder = u"C:\\" + std::u16string(240, u'f') + u"\\";
    const std::u16string fits(259 - folder.size(), u'n');
    ASSERT_TRUE(ComposePath(path, folder, fits));
    EXPECT_EQ(Narrow(path), Narrow(folder + fits));
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

TEST(RecentList, ItemTextsNumberTheEntryAndShowAmpersandsAsThemselves) {
    std::array<Unit, kRecentItemCapacity> buffer{};
    RecentItemText(9, u"C:\\R&D\\&.txt", buffer);
    EXPECT_EQ(Narrow(buffer), "&9: C:\\R&&D\\&&.txt");
    // The longest path, all ampersands, still fits whole.
    EXPECT_EQ(RecentItemText(3, std::u16string(259, u'&'), buffer), 4 + 2 * 259u);
    EXPECT_EQ(buffer[kRecentItemCapacity - 1], u'\0');
}

} // namespace
