#include "search/engine.h"

#include <bit>
#include <cstring>
#include <new>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::uint32_t kNone = 0xFFFFFFFF;

// The match test with regard to case: each position has one value.
class ExactForm {
  public:
    explicit ExactForm(const Unit* findString) : find_(findString) {}

    bool Agrees(Unit unit, std::uint32_t i) const { return unit == find_[i]; }
    bool AgreesFirst(Unit unit) const { return unit == find_[0]; }
#if defined(__SSE2__)
    // All ones in each lane whose unit agrees with the first position.
    __m128i FirstHits(__m128i block) const {
        return _mm_cmpeq_epi16(block, first_);
    }
#endif

  private:
    const Unit* find_;
#if defined(__SSE2__)
    __m128i first_ = _mm_set1_epi16(static_cast<short>(find_[0]));
#endif
};

// The match test without regard to case: the lower form first, then the upper form.
class EitherForm {
  public:
    EitherForm(const Unit* lower, const Unit* upper) : lower_(lower), upper_(upper) {}

    bool Agrees(Unit unit, std::uint32_t i) const { return unit == lower_[i] || unit == upper_[i]; }
    bool AgreesFirst(Unit unit) const { return unit == lower_[0] || unit == upper_[0]; }
#if defined(__SSE2__)
    __m128i FirstHits(__m128i block) const {
        return _mm_or_si128(_mm_cmpeq_epi16(block, firstLower_),
                            _mm_cmpeq_epi16(block, firstUpper_));
    }
#endif

  private:
    const Unit* lower_;
    const Unit* upper_;
#if defined(__SSE2__)
    __m128i firstLower_ = _mm_set1_epi16(static_cast<short>(lower_[0]));
    __m128i firstUpper_ = _mm_set1_epi16(static_cast<short>(upper_[0]));
#endif
};

#if defined(__SSE2__)
template <class Forms> __m128i FirstHits(const Unit* units, const Forms& forms) {
    return forms.FirstHits(_mm_loadu_si128(reinterpret_cast<const __m128i*>(units)));
}

// The candidates among 32 units: bit 2i is set when unit i agrees with search position 0.
// Blocks without one, the common case, cost a single mask extraction.
template <class Forms> std::uint64_t CandidateMask(const Unit* units, const Forms& forms) {
    const __m128i hits0 = FirstHits(units, forms);
    const __m128i hits1 = FirstHits(units + 8, forms);
    const __m128i hits2 = FirstHits(units + 16, forms);
    const __m128i hits3 = FirstHits(units + 24, forms);
    const __m128i any = _mm_or_si128(_mm_or_si128(hits0, hits1), _mm_or_si128(hits2, hits3));
    if (_mm_movemask_epi8(any) == 0) {
        return 0;
    }
    // The byte mask has two bits per unit; the even ones are kept.
    const auto mask = [](__m128i hits) {
        return static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm_movemask_epi8(hits)));
    };
    return (mask(hits0) | mask(hits1) << 16 | mask(hits2) << 32 | mask(hits3) << 48) &
           0x5555555555555555u;
}
#endif

// The first position has passed the filter; the rest of the candidate is compared from its
// end back to its second unit, where a difference shows soonest in repetitive text. A
// one-unit search string has no rest: its routines are instantiated with kOneUnit.
template <bool kOneUnit, class Forms>
bool RestAgrees(const Unit* candidate, std::uint32_t n, const Forms& forms) {
    if constexpr (!kOneUnit) {
        for (std::uint32_t i = n - 1; i >= 1; --i) {
            if (!forms.Agrees(candidate[i], i)) {
                return false;
            }
        }
    }
    return true;
}

// The first match at or after `start`, or kNone.
template <bool kOneUnit, class Forms>
std::uint32_t ForwardFrom(const Unit* text, std::uint32_t length, std::uint32_t n,
                          std::uint32_t start, const Forms& forms) {
    if (start > length || length - start < n) {
        return kNone;
    }
    const std::uint32_t end = length - n + 1; // candidates lie below
    std::uint32_t pos = start;
#if defined(__SSE2__)
    for (; end - pos >= 32; pos += 32) {
        for (std::uint64_t mask = CandidateMask(text + pos, forms); mask != 0; mask &= mask - 1) {
            const std::uint32_t p = pos + static_cast<std::uint32_t>(std::countr_zero(mask)) / 2;
            if (RestAgrees<kOneUnit>(text + p, n, forms)) {
                return p;
            }
        }
    }
#endif
    for (; pos < end; ++pos) {
        if (forms.AgreesFirst(text[pos]) && RestAgrees<kOneUnit>(text + pos, n, forms)) {
            return pos;
        }
    }
    return kNone;
}

// The last match below `start`, or kNone. A start past the last place a match can begin is
// clamped to that place plus one.
template <bool kOneUnit, class Forms>
std::uint32_t BackwardFrom(const Unit* text, std::uint32_t length, std::uint32_t n,
                           std::uint32_t start, const Forms& forms) {
    if (length < n || start == 0) {
        return kNone;
    }
    std::uint32_t below = start > length - n ? length - n + 1 : start;
#if defined(__SSE2__)
    for (; below >= 32; below -= 32) {
        const std::uint32_t block = below - 32;
        for (std::uint64_t mask = CandidateMask(text + block, forms); mask != 0;) {
            const int top = 63 - std::countl_zero(mask);
            const std::uint32_t p = block + static_cast<std::uint32_t>(top) / 2;
            if (RestAgrees<kOneUnit>(text + p, n, forms)) {
                return p;
            }
            mask &= ~(std::uint64_t{1} << top);
        }
    }
#endif
    while (below > 0) {
        --below;
        if (forms.AgreesFirst(text[below]) && RestAgrees<kOneUnit>(text + below, n, forms)) {
            return below;
        }
    }
    return kNone;
}

// Calls found(p) for every match from the start of the text on, left to right, each search
// resuming after the match before it, so matches never overlap. Every unit read after a call
// lies at or above the resume point: found may rewrite the text below it. Replace All meets
// a match every few dozen units, so the candidates of a block are all taken from one mask
// of it rather than by a new search after each match.
template <bool kOneUnit, class Forms, class Found>
void ForEachMatch(const Unit* text, std::uint32_t length, std::uint32_t n, const Forms& forms,
                  Found&& found) {
    if (length < n) {
        return;
    }
    const std::uint32_t end = length - n + 1;
    std::uint32_t pos = 0;
#if defined(__SSE2__)
    while (pos < end && end - pos >= 32) {
        std::uint32_t next = pos + 32;
        for (std::uint64_t mask = CandidateMask(text + pos, forms); mask != 0;) {
            const std::uint32_t p = pos + static_cast<std::uint32_t>(std::countr_zero(mask)) / 2;
            if (!RestAgrees<kOneUnit>(text + p, n, forms)) {
                mask &= mask - 1;
                continue;
            }
            found(p);
            const std::uint32_t resume = p + n - pos;
            if (resume >= 32) {
                next = p + n;
                break;
            }
            mask &= ~std::uint64_t{0} << (2 * resume);
        }
        pos = next;
    }
#endif
    while (pos < end) {
        if (forms.AgreesFirst(text[pos]) && RestAgrees<kOneUnit>(text + pos, n, forms)) {
            found(pos);
            pos += n;
        } else {
            ++pos;
        }
    }
}

// The length n of the pattern, or 0 when it can match nothing.
std::uint32_t PatternLength(const SearchPattern& pattern) {
    const std::size_t n = pattern.findString.size();
    if (n > kMaxTextLength) {
        return 0;
    }
    if (!pattern.matchCase && (pattern.lowerForm.size() != n || pattern.upperForm.size() != n)) {
        return 0;
    }
    return static_cast<std::uint32_t>(n);
}

// Calls operation(oneUnit, forms): forms is the match test that the pattern asks for, and
// oneUnit a std::bool_constant that picks the routines for a search string of one unit.
template <class Operation>
auto WithForms(const SearchPattern& pattern, std::uint32_t n, Operation&& operation) {
    const auto withLength = [&](const auto& forms) {
        return n == 1 ? operation(std::true_type{}, forms) : operation(std::false_type{}, forms);
    };
    if (pattern.matchCase) {
        return withLength(ExactForm(pattern.findString.data()));
    }
    return withLength(EitherForm(pattern.lowerForm.data(), pattern.upperForm.data()));
}

std::optional<std::uint32_t> AsMatch(std::uint32_t p) {
    return p == kNone ? std::nullopt : std::optional<std::uint32_t>(p);
}

void CopyUnits(Unit* destination, const Unit* source, std::uint32_t count) {
    if (count != 0) {
        std::memcpy(destination, source, std::size_t{count} * sizeof(Unit));
    }
}

void MoveUnits(Unit* destination, const Unit* source, std::uint32_t count) {
    if (count != 0 && destination != source) {
        std::memmove(destination, source, std::size_t{count} * sizeof(Unit));
    }
}

template <bool kOneUnit, class Forms>
std::uint32_t ReplaceSameLength(BorrowedText& text, std::uint32_t n, UnitView replacement,
                                const Forms& forms) {
    std::uint32_t count = 0;
    ForEachMatch<kOneUnit>(text.units, text.length, n, forms, [&](std::uint32_t m) {
        CopyUnits(text.units + m, replacement.data(), n);
        ++count;
    });
    return count;
}

template <bool kOneUnit, class Forms>
std::uint32_t ReplaceShorter(BorrowedText& text, std::uint32_t n, UnitView replacement,
                             const Forms& forms) {
    Unit* units = text.units;
    const auto r = static_cast<std::uint32_t>(replacement.size());
    std::uint32_t count = 0;
    std::uint32_t read = 0;
    std::uint32_t write = 0;
    // The write position stays at or below the read position, and the scan reads only at or
    // above it, so it sees the text as it was.
    ForEachMatch<kOneUnit>(units, text.length, n, forms, [&](std::uint32_t m) {
        MoveUnits(units + write, units + read, m - read);
        write += m - read;
        CopyUnits(units + write, replacement.data(), r);
        write += r;
        read = m + n;
        ++count;
    });
    if (count == 0) {
        return 0;
    }
    MoveUnits(units + write, units + read, text.length - read);
    write += text.length - read;
    units[write] = u'\0';
    text.length = write;
    return count;
}

template <bool kOneUnit, class Forms>
ReplaceAllResult ReplaceLonger(BorrowedText& text, std::uint32_t n, UnitView replacement,
                               ReplaceAllMemory& memory, const Forms& forms) {
    const Unit* source = text.units;
    const std::uint32_t length = text.length;
    std::uint32_t count = 0;
    ForEachMatch<kOneUnit>(source, length, n, forms, [&](std::uint32_t) { ++count; });
    if (count == 0) {
        return {};
    }

    // The final length in 64 bits: a text that would not fit the caller's block (or 32 bits)
    // is refused before anything is taken, never resized short and overrun.
    const std::uint64_t growth = replacement.size() - n;
    if (growth > kMaxTextLength) {
        return {0, true};
    }
    const std::uint64_t finalLength = std::uint64_t{length} + std::uint64_t{count} * growth;
    if (finalLength > memory.MaxTextLength()) {
        return {0, true};
    }
    const auto newLength = static_cast<std::uint32_t>(finalLength);
    const auto r = static_cast<std::uint32_t>(replacement.size());

    std::uint32_t* positions = memory.AllocatePositions(count);
    if (positions == nullptr) {
        return {0, true};
    }
    std::uint32_t recorded = 0;
    ForEachMatch<kOneUnit>(source, length, n, forms, [&](std::uint32_t m) {
        if (recorded < count) {
            positions[recorded++] = m;
        }
    });

    Unit* units = memory.ResizeText(newLength);
    if (units == nullptr) {
        memory.FreePositions(positions);
        return {0, true};
    }

    // From the last occurrence to the first: the text after each occurrence moves up to its
    // final place (destination at or above the source), then the replacement goes below it.
    // The text in front of the first occurrence is already in place.
    units[newLength] = u'\0';
    std::uint32_t sourceEnd = length;
    std::uint32_t writeEnd = newLength;
    for (std::uint32_t i = count; i-- > 0;) {
        const std::uint32_t after = positions[i] + n;
        const std::uint32_t between = sourceEnd - after;
        writeEnd -= between;
        MoveUnits(units + writeEnd, units + after, between);
        writeEnd -= r;
        CopyUnits(units + writeEnd, replacement.data(), r);
        sourceEnd = positions[i];
    }
    memory.FreePositions(positions);

    text.units = units;
    text.length = newLength;
    return {count, false};
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

std::uint32_t* ReplaceAllMemory::AllocatePositions(std::uint32_t count) {
    return new (std::nothrow) std::uint32_t[count];
}

void ReplaceAllMemory::FreePositions(std::uint32_t* positions) {
    delete[] positions;
}

ReplaceAllResult ReplaceAll(BorrowedText& text, const SearchPattern& pattern, UnitView replacement,
                            ReplaceAllMemory& memory) {
    const std::uint32_t n = PatternLength(pattern);
    if (n == 0 || text.length < n) {
        return {};
    }
    return WithForms(pattern, n, [&](auto oneUnit, const auto& forms) -> ReplaceAllResult {
        if (replacement.size() == n) {
            return {ReplaceSameLength<oneUnit>(text, n, replacement, forms), false};
        }
        if (replacement.size() < n) {
            return {ReplaceShorter<oneUnit>(text, n, replacement, forms), false};
        }
        return ReplaceLonger<oneUnit>(text, n, replacement, memory, forms);
    });
}
