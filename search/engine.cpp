#include "search/engine.h"

#include "search/engine_scan.h"

using namespace engine_scan;

namespace {

std::optional<std::uint32_t> AsMatch(std::uint32_t p) {
    return p == kNone ? std::nullopt : std::optional<std::uint32_t>(p);
}

} // namespace

std::optional<std::uint32_t> FindForward(const BorrowedText& text, const SearchPattern& pattern,
                                         std::uint32_t start) {
    const std::uint32_t n = PatternLength(pattern);
    if (n == 0) {
        return std::nullopt;
    }
    return AsMatch(WithForms(pattern, n, [&](auto oneUnit, const auto& forms) {
        return ForwardFrom<oneUnit>(text.units, text.length, n, start, forms);
    }));
}

std::optional<std::uint32_t> FindBackward(const BorrowedText& text, const SearchPattern& pattern,
                                          std::uint32_t start) {
    const std::uint32_t n = PatternLength(pattern);
    if (n == 0) {
        return std::nullopt;
    }
    return AsMatch(WithForms(pattern, n, [&](auto oneUnit, const auto& forms) {
        return BackwardFrom<oneUnit>(text.units, text.length, n, start, forms);
    }));
}

std::uint32_t FindNextStart(std::uint32_t selStart, std::uint32_t selEnd, std::uint32_t n,
                            bool down) {
    if (selEnd < selStart) {
        const std::uint32_t end = selStart;
        selStart = selEnd;
        selEnd = end;
    }
    const std::uint32_t k = selEnd - selStart;
    if (down) {
        return k > 0 && k == n ? selStart + 1 : selStart;
    }
    return k > 0 && k != n ? selEnd : selStart;
}

std::optional<std::uint32_t> FindNext(const BorrowedText& text, const SearchPattern& pattern,
                                      std::uint32_t selStart, std::uint32_t selEnd, bool down) {
    const std::uint32_t start = FindNextStart(selStart, selEnd, PatternLength(pattern), down);
    return down ? FindForward(text, pattern, start) : FindBackward(text, pattern, start);
}
