#include "tools/transforms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>
#include <tuple>

namespace {

// Two ASCII letters and DZ with caron; U+01C5, its title-case form, is typed as both upper and
// lower case. Letters carry another type bit too, as they do on Windows (C1_ALPHA).
constexpr UnitView kUpper = u"AB\u01C4";
constexpr UnitView kLower = u"ab\u01C6";
constexpr Unit kTitle = u'\u01C5';

struct TestRules : CaseRules {
    void ToUpper(Unit* units, std::uint32_t count) const override { Map(units, count, kUpper); }
    void ToLower(Unit* units, std::uint32_t count) const override { Map(units, count, kLower); }
    bool Classify(const Unit* units, std::uint32_t count, std::uint16_t* types) const override {
        for (std::uint32_t i = 0; i < count; ++i) {
            const bool title = units[i] == kTitle;
            types[i] = (title || kUpper.find(units[i]) != UnitView::npos ? kUpperType : 0) |
                       (title || kLower.find(units[i]) != UnitView::npos ? kLowerType : 0);
            types[i] |= types[i] ? 0x0100 : 0;
        }
        return true;
    }

    static void Map(Unit* units, std::uint32_t count, UnitView to) {
        for (Unit& unit : std::span(units, count)) {
            const std::size_t at =
                unit == kTitle ? to.size() - 1 : std::min(kUpper.find(unit), kLower.find(unit));
            unit = at == UnitView::npos ? unit : to[at];
        }
    }
};

struct FailingRules : TestRules {
    bool Classify(const Unit*, std::uint32_t, std::uint16_t*) const override { return false; }
};

const TestRules Rules;

// The result's text, checked to be terminated, and the selection after it.
std::tuple<std::u16string, std::uint32_t, std::uint32_t> Shown(const TransformedText& result) {
    if (!result.units) {
        return {u"(no text)", 0, 0};
    }
    EXPECT_EQ(result.units[result.length], u'\0');
    return {{result.units.get(), result.length}, result.selectFrom, result.selectTo};
}

// The title-case letter is typed as both: inverted, lower case wins, as for an upper-case unit.
// An empty text gives an empty text, not none.
TEST(CaseTransforms, MapEveryUnitAndSelectTheWholeText) {
    const std::tuple<decltype(&UpperCaseTransform), UnitView, UnitView> cases[] = {
        {UpperCaseTransform, u"a\u01C5B1", u"A\u01C4B1"},
        {LowerCaseTransform, u"a\u01C5B1", u"a\u01C6b1"},
        {InvertCaseTransform, u"a\u01C5B1", u"A\u01C6b1"},
        {InvertCaseTransform, u"", u""}};
    for (const auto& [transform, text, result] : cases) {
        SCOPED_TRACE(testing::PrintToString(result));
        const auto n = static_cast<std::uint32_t>(text.size());
        EXPECT_EQ(Shown(transform(text, Rules)), std::tuple(result, 0u, n));
    }
}

TEST(Reverse, KeepsLineBreaksAndSurrogatePairsInOrder) {
    const std::pair<UnitView, UnitView> cases[] = {
        {u"", u""},
        {u"\r\r\n", u"\r\n\r"},
        {u"\n\r", u"\r\n"},
        {u"a\U0001F600b", u"b\U0001F600a"},
        {u"\xDC00\xD800", u"\xD800\xDC00"},
        {u"\xD800\xD800\xDC00\xDC00", u"\xDC00\xD800\xDC00\xD800"},
        {UnitView(u"a\r\n").substr(0, 2), u"\ra"}};
    for (const auto& [text, reversed] : cases) {
        SCOPED_TRACE(testing::PrintToString(text));
        const auto n = static_cast<std::uint32_t>(text.size());
        EXPECT_EQ(Shown(ReverseTransform(text)), std::tuple(reversed, 0u, n));
    }
}

TEST(TagTransforms, WrapTheSelectionOrPutTheCaretBetweenTheTags) {
    const struct {
        TransformedText (*transform)(UnitView);
        UnitView text, result;
        std::uint32_t selectFrom, selectTo;
    } cases[] = {
        {BoldTransform, u"", u"<b></b>", 3, 3},
        {ItalicTransform, u"\r\n", u"<i>\r\n</i>", 0, 9},
        {ParagraphTransform, u"", u"<p></p>", 3, 3},
        {ParagraphTransform, u"\r\n\r\n\r\n", u"<p></p>\r\n<p>\r\n</p>", 0, 18},
        {ParagraphTransform, u"\r\n\r\nx\r\n\r\n", u"<p></p>\r\n<p>x</p>\r\n<p></p>", 0, 26},
        {ParagraphTransform, u"\r\r\n\n\r\n", u"<p>\r\r\n\n\r\n</p>", 0, 13},
        // a selection ending in a line break that an empty line follows, seen only to its end
        {ParagraphTransform, UnitView(u"a\r\n\r\nb").substr(0, 3), u"<p>a\r\n</p>", 0, 10}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        EXPECT_EQ(Shown(c.transform(c.text)), std::tuple(c.result, c.selectFrom, c.selectTo));
    }
}

TEST(Transforms, GiveNoTextWhenTheResultCannotBeHad) {
    EXPECT_EQ(InvertCaseTransform(u"abc", FailingRules()).units, nullptr);
    // Longer than the edit control takes: refused by size alone, the text behind the views unread.
    const Unit text[1] = {u'a'};
    EXPECT_EQ(UpperCaseTransform(UnitView(text, 0x7FFFFFFF), Rules).units, nullptr);
    EXPECT_EQ(ItalicTransform(UnitView(text, 0x7FFFFFF8)).units, nullptr);
    EXPECT_EQ(BoldTransform(UnitView(text, 0xFFFFFFFA)).units, nullptr);
    EXPECT_EQ(ParagraphTransform(UnitView(text, 0xFFFFFFFA)).units, nullptr);
}

} // namespace
