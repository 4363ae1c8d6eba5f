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

} // namespace
