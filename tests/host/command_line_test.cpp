#include "app/command_line.h"

#include "test_text.h"

#include <gtest/gtest.h>

#include <array>
#include <cctype>

namespace {

struct Extraction {
    CommandLineName outcome;
    std::string name;
};

Extraction Extract(const std::u16string& commandLine) {
    // Filled with marks so that a missing terminator shows in the name.
    std::array<Unit, 260> destination{};
    destination.fill(u'#');
    destination.back() = u'\0';
    const CommandLineName outcome = GetCommandLineFileName(commandLine, destination);
    return {outcome, Narrow(destination)};
}

struct Case {
    const char* what;
    std::u16string commandLine;
    CommandLineName outcome;
    std::string name;
};

class CommandLineCases : public testing::TestWithParam<Case> {};

TEST_P(CommandLineCases, YieldsTheFileName) {
    const Case& c = GetParam();
    const Extraction result = Extract(c.commandLine);
    EXPECT_EQ(result.outcome, c.outcome) << c.what;
    if (c.outcome == CommandLineName::Found) {
        EXPECT_EQ(result.name, c.name) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Extraction, CommandLineCases,
    testing::Values(
        Case{"only the unquoted program name", u"Tarnwick.exe", CommandLineName::None, ""},
        Case{"program name and a trailing blank", u"Tarnwick.exe ", CommandLineName::None, ""},
        Case{"quoted program name alone", u"\"C:\\Program Files\\Tarnwick.exe\"",
             CommandLineName::None, ""},
        Case{"unquoted name keeps its blanks",
             u"\"C:\\Program Files\\Tarnwick\\Tarnwick.exe\" C:\\My Files\\a b.txt",
             CommandLineName::Found, "C:\\My Files\\a b.txt"},
        Case{"quoted name ends at its closing quote", u"Tarnwick.exe \"a b.txt\" c.txt",
             CommandLineName::Found, "a b.txt"},
        Case{"several blanks are skipped", u"Tarnwick.exe    a.txt", CommandLineName::Found,
             "a.txt"},
        Case{"trailing blanks of an unquoted name stay", u"Tarnwick.exe a.txt  ",
             CommandLineName::Found, "a.txt  "},
        Case{"an empty pair of quotes gives an empty name", u"Tarnwick.exe \"\"",
             CommandLineName::Found, ""},
        Case{"a quoted name without its closing quote runs to the end", u"Tarnwick.exe \"a b.txt",
             CommandLineName::Found, "a b.txt"},
        Case{"a tab is no separator", u"Tarnwick.exe\ta.txt", CommandLineName::None, ""},
        Case{"a tab after the blank belongs to the name", u"Tarnwick.exe \ta.txt",
             CommandLineName::Found, "\ta.txt"},
        Case{"a program name quoted without its closing quote takes the whole line",
             u"\"C:\\Tarnwick.exe a.txt", CommandLineName::None, ""},
        Case{"quoted program name directly followed by the name", u"\"Tarnwick.exe\"a.txt",
             CommandLineName::Found, "a.txt"},
        Case{"an empty line", u"", CommandLineName::None, ""}),
    [](const testing::TestParamInfo<Case>& info) {
        std::string name;
        for (const char* c = info.param.what; *c != '\0'; ++c) {
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        }
        return name;
    });

TEST(CommandLineLength, AcceptsTwoHundredFiftyNineUnits) {
    const std::string name(259, 'n');
    const Extraction result = Extract(u"Tarnwick.exe " + Widen(name));
    EXPECT_EQ(result.outcome, CommandLineName::Found);
    EXPECT_EQ(result.name, name);
}

TEST(CommandLineLength, RefusesTwoHundredSixtyUnitsAndLeavesTheDestination) {
    std::array<Unit, 260> destination{};
    destination[0] = u'k';
    const std::u16string line = u"Tarnwick.exe \"" + std::u16string(260, u'n') + u"\"";
    EXPECT_EQ(GetCommandLineFileName(line, destination), CommandLineName::TooLong);
    EXPECT_EQ(destination[0], u'k');
    EXPECT_EQ(destination[1], u'\0');
}

TEST(CommandLineLength, NeverWritesPastASmallerDestination) {
    std::array<Unit, 8> destination{};
    EXPECT_EQ(GetCommandLineFileName(u"Tarnwick.exe abcdefgh", destination),
              CommandLineName::TooLong);
    EXPECT_EQ(GetCommandLineFileName(u"Tarnwick.exe abcdefg", destination), CommandLineName::Found);
    EXPECT_EQ(Narrow(destination), "abcdefg");
}

TEST(CommandLineNone, LeavesTheDestinationUntouched) {
    std::array<Unit, 260> destination{};
    destination[0] = u'k';
    EXPECT_EQ(GetCommandLineFileName(u"Tarnwick.exe", destination), CommandLineName::None);
    EXPECT_EQ(destination[0], u'k');
}

} // namespace
