#include "document/typing_walk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The whole walk as "code:pause" pairs, e.g. "97+ 13- 98+", each step resumed from the
// position the one before left.
std::string Walk(const std::u16string& text) {
    std::string walk;
    std::size_t position = 0;
    while (auto typed = NextTypedCharacter(text.c_str(), position)) {
        if (!walk.empty()) {
            walk += ' ';
        }
        walk += std::to_string(typed->code) + (typed->pauseAfter ? "+" : "-");
    }
    return walk;
}

TEST(TypingWalk, TypesEachUnitAndEnterForALineBreakUpToTheFirstNul) {
    const struct {
        std::u16string text;
        const char* walk;
    } cases[] = {
        {u"a\r\nb", "97+ 13- 98+"}, // Enter for a line break, without a pause
        {u"a\rb", "97+ 98+"},       // a lone carriage return is dropped
        {u"a\nb", "97+ 10+ 98+"},   // a lone line feed is typed
        {u"", ""},
        {std::u16string(u"ab\0cd", 5), "97+ 98+"},
        {u"\U0001F600\t", "55357+ 56832+ 9+"}, // surrogates one by one
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Walk(c.text), c.walk);
    }
}

} // namespace
