// What the randomised host tests and the fuzzer share: a deliberately simple model of the
// search engine (every position tried in order, every unit compared, the replaced text built
// as a new string; no code of the engine's), the exact text block that Replace All works in,
// and the way a failing case is printed.
#ifndef TARNWICK_TESTS_FUZZ_SEARCH_MODEL_H
#define TARNWICK_TESTS_FUZZ_SEARCH_MODEL_H

#include "search/engine.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace model {

// The case forms the tests use, unit by unit: ASCII letters, whose forms differ in one bit,
// and y with diaeresis, U+00FF and U+0178, whose forms differ in four.
inline std::u16string LowerForm(std::u16string text) {
    for (Unit& unit : text) {
        if (unit >= u'A' && unit <= u'Z') {
            unit = static_cast<Unit>(unit - u'A' + u'a');
        } else if (unit == u'\u0178') {
            unit = u'\u00FF';
        }
    }
    return text;
}

inline std::u16string UpperForm(std::u16string text) {
    for (Unit& unit : text) {
        if (unit >= u'a' && unit <= u'z') {
            unit = static_cast<Unit>(unit - u'a' + u'A');
        } else if (unit == u'\u00FF') {
            unit = u'\u0178';
        }
    }
    return text;
}

// A search string with its case forms, kept alive for the SearchPattern that views them.
struct Query {
    std::u16string find;
    bool matchCase = true;
    std::u16string lower = LowerForm(find);
    std::u16string upper = UpperForm(find);

    SearchPattern Pattern() const { return {find, matchCase, lower, upper}; }
};

// A text for failure messages: printable ASCII as it is, other units as \uXXXX.
inline std::string Show(const std::u16string& text) {
    std::string shown = "\"";
    for (const Unit unit : text) {
        if (unit >= 0x20 && unit < 0x7F && unit != u'\\') {
            shown += static_cast<char>(unit);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(unit));
            shown += escaped;
        }
    }
    return shown + "\"";
}

inline bool MatchesAt(const std::u16string& text, const Query& query, std::size_t p) {
    const std::size_t n = query.find.size();
    if (n == 0 || p + n > text.size()) {
        return false;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const Unit unit = text[p + i];
        const bool agrees = query.matchCase ? unit == query.find[i]
                                            : unit == query.lower[i] || unit == query.upper[i];
        if (!agrees) {
            return false;
        }
    }
    return true;
}

inline std::optional<std::uint32_t> Forward(const std::u16string& text, const Query& query,
                                            std::uint32_t start) {
    for (std::size_t p = start; p <= text.size(); ++p) {
        if (MatchesAt(text, query, p)) {
            return static_cast<std::uint32_t>(p);
        }
    }
    return std::nullopt;
}

// Every position below the start, nearest first; a match that would run past the end is no
// match, which is all the clamping of the start amounts to.
inline std::optional<std::uint32_t> Backward(const std::u16string& text, const Query& query,
                                             std::uint32_t start) {
    for (std::size_t p = start; p-- > 0;) {
        if (MatchesAt(text, query, p)) {
            return static_cast<std::uint32_t>(p);
        }
    }
    return std::nullopt;
}

inline std::uint32_t Start(std::uint32_t a, std::uint32_t b, std::size_t n, bool down) {
    const std::size_t k = b - a;
    if (down) {
        return k == n && k > 0 ? a + 1 : a;
    }
    return k > 0 && k != n ? b : a;
}

// The `count` units that occur most often in the text, the commonest first (fewer when the
// text has fewer kinds). Search strings made of them give the engine's filter the most
// candidates to reject.
inline std::u16string CommonestUnits(const std::u16string& text, std::size_t count) {
    std::map<Unit, std::size_t> occurrences;
    for (const Unit unit : text) {
        ++occurrences[unit];
    }
    std::vector<std::pair<std::size_t, Unit>> byCount;
    for (const auto& [unit, times] : occurrences) {
        byCount.emplace_back(times, unit);
    }
    std::sort(byCount.begin(), byCount.end(), std::greater<>());
    std::u16string commonest;
    for (std::size_t i = 0; i < byCount.size() && i < count; ++i) {
        commonest += byCount[i].second;
    }
    return commonest;
}

struct Replaced {
    std::u16string text;
    std::uint32_t count = 0;
};

inline Replaced ReplaceAll(const std::u16string& text, const Query& query,
                           const std::u16string& replacement) {
    Replaced result;
    std::size_t p = 0;
    while (p < text.size()) {
        if (MatchesAt(text, query, p)) {
            result.text += replacement;
            p += query.find.size();
            ++result.count;
        } else {
            result.text += text[p++];
        }
    }
    return result;
}

// The text in a block of exactly its length and the terminating zero, so that AddressSanitizer
// sees any access outside it. Its resize takes a new exact block, as a moving GlobalReAlloc
// would; it and the memory for match positions can be told to fail.
class ExactBlock : public ReplaceAllMemory {
  public:
    explicit ExactBlock(const std::u16string& text)
        : units_(new Unit[text.size() + 1]), length_(static_cast<std::uint32_t>(text.size())),
          capacity_(length_) {
        std::memcpy(units_.get(), text.data(), text.size() * sizeof(Unit));
        units_[text.size()] = u'\0';
    }

    BorrowedText Borrow() { return {units_.get(), length_}; }

    std::u16string Text() const { return {units_.get(), length_}; }

    Unit* ResizeText(std::uint32_t length) override {
        ++resizes;
        lastResize = length;
        if (failResize) {
            return nullptr;
        }
        std::unique_ptr<Unit[]> resized(new Unit[std::size_t{length} + 1]);
        const std::uint32_t kept = std::min(length, length_) + 1;
        std::memcpy(resized.get(), units_.get(), kept * sizeof(Unit));
        std::memset(resized.get() + kept, 0, (std::size_t{length} + 1 - kept) * sizeof(Unit));
        units_ = std::move(resized);
        length_ = length;
        capacity_ = length;
        return units_.get();
    }

    std::uint32_t MaxTextLength() const override { return maxLength; }

    // Counts the chunks of match positions and can refuse one of them.
    void* AllocateChunk(std::size_t bytes) override {
        if (++chunksAsked == failChunk) {
            return nullptr;
        }
        ++chunksHeld;
        return ReplaceAllMemory::AllocateChunk(bytes);
    }

    void FreeChunk(void* chunk) override {
        --chunksHeld;
        ReplaceAllMemory::FreeChunk(chunk);
    }

    // After a Replace All: the text as the engine left it, whose length the caller takes from
    // the BorrowedText (the shorter method leaves the block's size as it was).
    // False when the engine's text is not in this block.
    [[nodiscard]] bool Adopt(const BorrowedText& text) {
        if (text.units != units_.get() || text.length > capacity_) {
            return false;
        }
        length_ = text.length;
        return true;
    }

    bool failResize = false;
    int failChunk = 0; // the chunk allocation that fails, counted from 1; 0 for none
    std::uint32_t maxLength = kMaxTextLength;
    int resizes = 0;
    int chunksAsked = 0;
    int chunksHeld = 0;
    std::uint32_t lastResize = 0;

  private:
    std::unique_ptr<Unit[]> units_;
    std::uint32_t length_;
    std::uint32_t capacity_; // units before the block's last one
};

} // namespace model

#endif
