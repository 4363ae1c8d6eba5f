#include "language/format_template.h"

#include "test_text.h"

#include <gtest/gtest.h>

namespace {

constexpr auto kText = Conversion::Text;
constexpr auto kInteger = Conversion::Integer;

TEST(FormatTemplate, AcceptsTheArgumentsThePositionAndCharacterTextsPass) {
    for (UnitView position : {u" Ln %s, Col %s, Sel %s", u"%-10s|%5.3ls|%s 100%%", u"%s%s%s"}) {
        EXPECT_TRUE(TemplateTakes(position, {kText, kText, kText})) << Narrow(position);
    }
    for (UnitView character : {u" Char: %u (0x%.4X)", u"%d %lx", u"%%%hu%#08X"}) {
        EXPECT_TRUE(TemplateTakes(character, {kInteger, kInteger})) << Narrow(character);
    }
}

TEST(FormatTemplate, RefusesTemplatesThatWouldReadOtherArguments) {
    const UnitView position[] = {
        u"%s %s",       // one too few
        u"%s %s %s %s", // one too many
        u"%s %d %s",    // an integer where a text is passed
        u"%s %s %hs",   // a narrow string
        u"%s %s %S",    // a narrow string
        u"%s %s %*s",   // a width argument
        u"%s %s %s %",  // a mark at the end
        u"%s %s %s %n", // another type
    };
    for (UnitView pattern : position) {
        EXPECT_FALSE(TemplateTakes(pattern, {kText, kText, kText})) << Narrow(pattern);
    }
    const UnitView character[] = {u"%u", u"%u %s", u"%I64u %u", u"%u %u %u", u"%c %u", u"%u %p"};
    for (UnitView pattern : character) {
        EXPECT_FALSE(TemplateTakes(pattern, {kInteger, kInteger})) << Narrow(pattern);
    }
}

} // namespace
