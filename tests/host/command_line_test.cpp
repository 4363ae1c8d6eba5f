#include "app/command_line.h"

#include "test_text.h"

#include <gtest/gtest.h>

#include <array>

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

TEST(CommandLine, YieldsTheFileNameAfterTheProgramName) {
    constexpr auto kNone = CommandLineName::None;
    constexpr auto kFound = CommandLineName::Found;
    const struct {
        std::u16string line;
        CommandLineName outcome;
        std::string name;
    } cases[] = {
        {u"", kNone, ""},
        {u"Tarnwick.exe", kNone, ""},
        {u"Tarnwick.exe ", kNone, ""},
        {u"\"C:\\Program Files\\Tarnwick.exe\"", kNone, ""},
        // An unquoted name keeps its blanks, trailing ones too; blanks before it are skipped.
        {u"\"C:\\Program Files\\Tarnwick\\Tarnwick.exe\" C:\\My Files\\a b.txt", kFound,
         "C:\\My Files\\a b.txt"},
        {u"Tarnwick.exe    a.txt  ", kFound, "a.txt  "},
        // A quoted name ends at its closing quote, or else at the end of the line.
        {u"Tarnwick.exe \"a b.txt\" c.txt", kFound, "a b.txt"},
        {u"Tarnwick.exe \"\"", kFound, ""},
        {u"Tarnwick.exe \"a b.txt", kFound, "a b.txt"},
        // A tab is no separator, but belongs to the name after the blank.
        {u"Tarnwick.exe\ta.txt", kNone, ""},
        {u"Tarnwick.exe \ta.txt", kFound, "\ta.txt"},
        // A program name quoted without its closing quote takes the whole line.
        {u"\"C:\\Tarnwick.exe a.txt", kNone, ""},
        {u"\"Tarnwick.exe\"a.txt", kFound, "a.txt"},
    };
    for (const auto& c : cases) {
        const Extraction result = Extract(c.line);
        EXPECT_EQ(result.outcome, c.outcome) << Narrow(c.line);
        if (c.outcome == kFound) {
            EXPECT_EQ(result.name, c.name) << Narrow(c.line);
        }
    }
}

TEST(CommandLineLength, AcceptsAsManyUnitsAsFitAndOtherwiseLeavesTheDestinationUntouched) {
    const std::string name(259, 'n');
    const Extraction result = Extract(u"Tarnwick.exe " + Widen(name));
    EXPECT_EQ(result.outcome, CommandLineName::Found);
    EXPECT_EQ(result.name, name);

    std::array<Unit, 8> small{u'k'};
    EXPECT_EQ(GetCommandLineFileName(u"Tarnwick.exe abcdefgh", small), CommandLineName::TooLong);
    EXPECT_EQ(GetCommandLineFileName(u"Tarnwick.exe \"abcdefgh\"", small),
              CommandLineName::TooLong);
    EXPECT_EQ(GetCommandLineFileName(u"Tarnwick.exe", small), CommandLineName::None);
    EXPECT_EQ(Narrow(small), "k");
    EXPECT_EQ(GetCommandLineFileName(u"Tarnwick.exe abcdefg", small), CommandLineName::Found);
    EXPECT_EQ(Narrow(small), "abcdefg");
}

} // namespace
