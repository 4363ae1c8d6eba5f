#include "language/format_template.h"
#include "language/percent_template.h"

#include "test_text.h"

#include <gtest/gtest.h>

#include <array>

namespace {

template <std::size_t N>
std::string Fill(UnitView pattern, UnitView value, PercentFill fill = PercentFill::First) {
    std::array<Unit, N> buffer{};
    buffer.fill(u'#');
    const std::size_t written = FillPercentTemplate(pattern, value, buffer, fill);
    EXPECT_EQ(buffer[written], u'\0');
    return Narrow(buffer);
}

TEST(PercentTemplate, PutsTheValueInPlaceOfTheFirstPercentOrOfEveryOne) {
    EXPECT_EQ(Fill<64>(u"Lines: %", u"1 234"), "Lines: 1 234");
    EXPECT_EQ(Fill<64>(u"% and %", u"x"), "x and ") << "later marks are left out";
    EXPECT_EQ(Fill<64>(u"no mark", u"x"), "no mark");
    EXPECT_EQ(Fill<64>(u"% was not found (%)", u"C:\\a.txt", PercentFill::Every),
              "C:\\a.txt was not found (C:\\a.txt)");
}

TEST(PercentTemplate, CutsALongResultToItsBufferAndTerminatesIt) {
    const std::u16string path(600, u'p');
    const std::string filled =
        Fill<512>(u"File % not found. Is % right?", path, PercentFill::Every);
    EXPECT_EQ(filled.size(), 511u);
    EXPECT_EQ(filled.substr(0, 5), "File ");
    // Nothing goes into an empty buffer.
    std::array<Unit, 1> one{};
    EXPECT_EQ(FillPercentTemplate(u"%", u"xyz", one), 0u);
    EXPECT_EQ(one[0], u'\0');
    EXPECT_EQ(FillPercentTemplate(u"%", u"xyz", UnitBuffer()), 0u);
}

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
