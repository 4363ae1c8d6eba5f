// libFuzzer target for the search engine: the input chooses an alphabet, the case mode, a
// search string, a replacement and a text; every search and every Replace All must agree
// with the model, and under AddressSanitizer no access may fall outside the exact blocks.
// The search string may instead be made of the text's commonest units, which pass the
// engine's filter most often.
#include "search/engine.h"

#include "tests/fuzz/search_model.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

// Reads the fuzzer's bytes in order; past the end it reads zeros.
class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::size_t Left() const { return size_ - at_; }

    // Units drawn from the alphabet; an empty alphabet takes any unit from two bytes.
    std::u16string Units(const std::u16string& alphabet, std::size_t count) {
        std::u16string units;
        for (std::size_t i = 0; i < count; ++i) {
            if (alphabet.empty()) {
                const unsigned low = Byte();
                units += static_cast<Unit>(low | (unsigned{Byte()} << 8));
            } else {
                units += alphabet[Byte() % alphabet.size()];
            }
        }
        return units;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

constexpr std::size_t kLongestText = 2048;
// Beyond this length only some of the start positions are tried, to keep each input quick.
constexpr std::uint32_t kEveryStartUpTo = 96;

struct Case {
    std::u16string text;
    model::Query query;
    std::u16string replacement;

    [[noreturn]] void Fail(const std::string& what) const {
        std::fprintf(stderr,
                     "search engine disagrees with the model: %s\n  text %s\n  search string %s "
                     "(%s)\n  replacement %s\n",
                     what.c_str(), model::Show(text).c_str(), model::Show(query.find).c_str(),
                     query.matchCase ? "match case" : "case ignored",
                     model::Show(replacement).c_str());
        std::abort();
    }
};

std::string Position(std::optional<std::uint32_t> p) {
    return p ? std::to_string(*p) : "none";
}

void CheckSearches(const Case& c) {
    model::ExactBlock block(c.text);
    const BorrowedText text = block.Borrow();
    const SearchPattern pattern = c.query.Pattern();
    const auto length = static_cast<std::uint32_t>(c.text.size());
    const std::uint32_t step = length <= kEveryStartUpTo ? 1 : length / 61;
    for (std::uint32_t start = 0; start <= length + 1; start += step) {
        const auto forward = FindForward(text, pattern, start);
        if (forward != model::Forward(c.text, c.query, start)) {
            c.Fail("forward from " + std::to_string(start) + " gave " + Position(forward));
        }
        const auto backward = FindBackward(text, pattern, start);
        if (backward != model::Backward(c.text, c.query, start)) {
            c.Fail("backward from " + std::to_string(start) + " gave " + Position(backward));
        }
    }
    // Walks over every match, each search starting from the match shown before.
    const auto n = static_cast<std::uint32_t>(c.query.find.size());
    for (const bool down : {true, false}) {
        std::uint32_t selStart = down ? 0 : length;
        std::uint32_t selEnd = selStart;
        for (std::uint32_t steps = 0; steps <= length; ++steps) {
            const auto found = FindNext(text, pattern, selStart, selEnd, down);
            const std::uint32_t start = model::Start(selStart, selEnd, n, down);
            const auto expected = down ? model::Forward(c.text, c.query, start)
                                       : model::Backward(c.text, c.query, start);
            if (found != expected) {
                c.Fail(std::string(down ? "down" : "up") + " from [" + std::to_string(selStart) +
                       ", " + std::to_string(selEnd) + ") gave " + Position(found));
            }
            if (!found) {
                break;
            }
            selStart = *found;
            selEnd = *found + n;
        }
    }
}

void CheckReplaceAll(const Case& c, const std::u16string& replacement) {
    Case shown = c;
    shown.replacement = replacement;
    model::ExactBlock block(c.text);
    BorrowedText text = block.Borrow();
    const ReplaceAllResult result = ReplaceAll(text, c.query.Pattern(), replacement, block);
    const model::Replaced expected = model::ReplaceAll(c.text, c.query, replacement);
    if (result.outOfMemory) {
        shown.Fail("Replace All ran out of memory");
    }
    if (!block.Adopt(text) || text.units[text.length] != u'\0') {
        shown.Fail("Replace All left its text outside its block or unterminated");
    }
    if (result.count != expected.count || block.Text() != expected.text) {
        shown.Fail("Replace All gave " + model::Show(block.Text()) + ", count " +
                   std::to_string(result.count));
    }
    const std::uint64_t implied = c.text.size() + std::uint64_t{result.count} * replacement.size() -
                                  std::uint64_t{result.count} * c.query.find.size();
    if (text.length != implied) {
        shown.Fail("Replace All gave a length of " + std::to_string(text.length));
    }
    const bool longer = replacement.size() > c.query.find.size();
    if (block.resizes != (longer && result.count > 0 ? 1 : 0)) {
        shown.Fail("Replace All resized " + std::to_string(block.resizes) + " times");
    }
    if (block.chunksHeld != 0) {
        shown.Fail("Replace All kept " + std::to_string(block.chunksHeld) + " chunks");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::u16string alphabets[] = {
        u"aAb", u"ab", u"aaaaaaab", u"aA\r\n", u"a\uFFFF\u8000b", u"eeeez Z", u"a\u00FF\u0178", u"",
    };
    Input input(data, size);
    const std::uint8_t flags = input.Byte();
    const std::u16string& alphabet = alphabets[(flags >> 1) % std::size(alphabets)];
    const bool fromCommonest = (flags & 0x80) != 0;
    const std::size_t n = input.Byte() % (fromCommonest ? 40 : 7);
    const std::size_t r = input.Byte() % 10;

    std::u16string find = input.Units(alphabet, n);
    const std::u16string replacement = input.Units(u"abX", r);
    const std::size_t unitBytes = alphabet.empty() ? 2 : 1;
    const std::u16string text =
        input.Units(alphabet, std::min(input.Left() / unitBytes, kLongestText));
    if (fromCommonest && !text.empty()) {
        // Mostly the commonest unit, so that long search strings still match.
        const std::u16string commonest = model::CommonestUnits(text, 2);
        for (Unit& unit : find) {
            unit = commonest[unit % 4 == 3 ? commonest.size() - 1 : 0];
        }
    }
    Case c;
    c.query = model::Query{find, (flags & 1) != 0};
    c.replacement = replacement;
    c.text = text;

    CheckSearches(c);
    // All three methods each time: the replacement as given, one of the search string's
    // length and one shorter.
    CheckReplaceAll(c, c.replacement);
    CheckReplaceAll(c, std::u16string(c.replacement + std::u16string(n, u'X')).substr(0, n));
    CheckReplaceAll(c, c.replacement.substr(0, n == 0 ? 0 : (r % n)));
    return 0;
}
