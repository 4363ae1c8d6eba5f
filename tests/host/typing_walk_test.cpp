#include "document/typing_walk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The whole walk as "code:pause" pairs, e.g. "97+ 13- 98+".
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

TEST(TypingWalk, SendsEnterForALineBreakWithoutAPause) {
    EXPECT_EQ(Walk(u"a\r\nb"), "97+ 13- 98+");
}

TEST(TypingWalk, DropsALoneCarriageReturnAndTypesALoneLineFeed) {
    EXPECT_EQ(Walk(u"a\rb"), "97+ 98+");
    EXPECT_EQ(Walk(u"a\nb"), "97+ 10+ 98+");
    EXPECT_EQ(Walk(u"\r\r\n\n"), "13- 10+");
    EXPECT_EQ(Walk(u"x\r"), "120+");
}

TEST(TypingWalk, EndsAtTheFirstNul) {
    EXPECT_EQ(Walk(u""), "");
    EXPECT_EQ(Walk(std::u16string(u"ab\0cd", 5)), "97+ 98+");
}

TEST(TypingWalk, TypesSurrogatesAndOtherUnitsOneByOne) {
    EXPECT_EQ(Walk(u"\U0001F600\t"), "55357+ 56832+ 9+");
}

TEST(TypingWalk, CanBeResumedWhereItStopped) {
    const std::u16string text = u"ab\r\nc";
    std::size_t position = 0;
    ASSERT_TRUE(NextTypedCharacter(text.c_str(), position));
    ASSERT_TRUE(NextTypedCharacter(text.c_str(), position));
    EXPECT_EQ(position, 2u);
    const auto enter = NextTypedCharacter(text.c_str(), position);
    ASSERT_TRUE(enter);
    EXPECT_EQ(enter->code, u'\r');
    EXPECT_EQ(position, 4u);
}

} // namespace
