// The scanning core shared by the search and Replace All: the filter on the two rarest units
// of the search string, the match tests with and without regard to case, and the forward,
// backward and left-to-right scans over a text. Only search/engine*.cpp include it.
#ifndef TARNWICK_SEARCH_ENGINE_SCAN_H
#define TARNWICK_SEARCH_ENGINE_SCAN_H

#include "search/engine.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string_view>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace engine_scan {

inline constexpr std::uint32_t kNone = 0xFFFFFFFF;

// How common each ASCII unit is in everyday prose and code, higher for commoner ones. Units
// not listed, non-ASCII ones included, count as rarest: in an English text they are, and in
// another script the search string's letters tie and the filter falls back to its ends.
inline constexpr std::array<std::uint8_t, 128> kCommonness = [] {
    constexpr std::string_view kCommonestFirst =
        " etaoinshrdlcumwfgypb\r\n.,vk-'\"TAISCMBP0123456789()=;_/:";
    std::array<std::uint8_t, 128> commonness{};
    for (std::size_t i = 0; i < kCommonestFirst.size(); ++i) {
        const auto unit = static_cast<unsigned char>(kCommonestFirst[i]);
        commonness[unit] = static_cast<std::uint8_t>(kCommonestFirst.size() - i);
    }
    return commonness;
}();

inline std::uint8_t Commonness(Unit unit) {
    return unit < kCommonness.size() ? kCommonness[unit] : 0;
}

// The two positions of the search string whose units a candidate must show before the rest
// of it is compared: the two that are rarest in everyday text, so that a common letter
// elsewhere ('e' in "every zebra") lets few candidates through. Of equally rare positions
// the first and the last are taken, which are the least alike in repetitive text. A one-unit
// search string has both at its only unit.
struct Filter {
    std::uint32_t at[2] = {0, 0};
};

template <class Rank> Filter ChooseFilter(std::uint32_t n, const Rank& commonness) {
    Filter filter;
    for (std::uint32_t i = 1; i < n; ++i) {
        if (commonness(i) < commonness(filter.at[0])) {
            filter.at[0] = i;
        }
    }
    filter.at[1] = filter.at[0] == n - 1 ? 0 : n - 1;
    for (std::uint32_t i = n; i-- > 0;) {
        if (i != filter.at[0] && commonness(i) < commonness(filter.at[1])) {
            filter.at[1] = i;
        }
    }
    return filter;
}

#if defined(__SSE2__)
inline __m128i Broadcast(Unit unit) {
    return _mm_set1_epi16(static_cast<short>(unit));
}

inline __m128i Load(const Unit* units) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(units));
}
#endif

// The match test with regard to case: each position has one value.
class ExactForm {
  public:
    ExactForm(const Unit* findString, std::uint32_t n)
        : filter(
              ChooseFilter(n, [findString](std::uint32_t i) { return Commonness(findString[i]); })),
          find_(findString) {}

    bool Agrees(Unit unit, std::uint32_t i) const { return unit == find_[i]; }
#if defined(__SSE2__)
    // All ones in each lane whose unit agrees with the unit at filter.at[k].
    __m128i Hits(__m128i block, int k) const {
        return _mm_cmpeq_epi16(block, filterUnit_[k]);
    }
#endif

    const Filter filter;

  private:
    const Unit* find_;
#if defined(__SSE2__)
    __m128i filterUnit_[2] = {Broadcast(find_[filter.at[0]]), Broadcast(find_[filter.at[1]])};
#endif
};

// The match test without regard to case: the lower form first, then the upper form. A
// position is as common as the commoner of its two forms.
class EitherForm {
  public:
    EitherForm(const Unit* lower, const Unit* upper, std::uint32_t n)
        : filter(ChooseFilter(n,
                              [lower, upper](std::uint32_t i) {
                                  return std::max(Commonness(lower[i]), Commonness(upper[i]));
                              })),
          lower_(lower), upper_(upper) {}

    bool Agrees(Unit unit, std::uint32_t i) const { return unit == lower_[i] || unit == upper_[i]; }

    // The bit in which the two forms at position i differ, 0 when they are the same unit, or
    // none when they differ in more bits.
    std::optional<Unit> FoldBit(std::uint32_t i) const {
        const auto bits = static_cast<Unit>(lower_[i] ^ upper_[i]);
        return std::popcount(static_cast<unsigned>(bits)) <= 1 ? std::optional<Unit>(bits)
                                                               : std::nullopt;
    }
#if defined(__SSE2__)
    __m128i Hits(__m128i block, int k) const {
        return _mm_or_si128(_mm_cmpeq_epi16(block, filterLower_[k]),
                            _mm_cmpeq_epi16(block, filterUpper_[k]));
    }
#endif

    const Filter filter;

  protected:
    const Unit* lower_;
    const Unit* upper_;

  private:
#if defined(__SSE2__)
    __m128i filterLower_[2] = {Broadcast(lower_[filter.at[0]]), Broadcast(lower_[filter.at[1]])};
    __m128i filterUpper_[2] = {Broadcast(upper_[filter.at[0]]), Broadcast(upper_[filter.at[1]])};
#endif
};

// Case ignored where the two forms of each filter unit differ in one bit at most, as those
// of ASCII letters and of most Latin, Greek and Cyrillic ones do: setting that bit in a text
// unit turns either form into the same value, so each filter test is one compare, not two.
class FoldedForm : public EitherForm {
  public:
    explicit FoldedForm(const EitherForm& forms) : EitherForm(forms) {}

#if defined(__SSE2__)
    __m128i Hits(__m128i block, int k) const {
        return _mm_cmpeq_epi16(_mm_or_si128(block, bit_[k]), folded_[k]);
    }

  private:
    Unit Bit(int k) const {
        return *FoldBit(filter.at[k]);
    }
    Unit Folded(int k) const {
        return static_cast<Unit>(lower_[filter.at[k]] | Bit(k));
    }

    __m128i bit_[2] = {Broadcast(Bit(0)), Broadcast(Bit(1))};
    __m128i folded_[2] = {Broadcast(Folded(0)), Broadcast(Folded(1))};
#endif
};

// Whether the candidate at `candidate` shows the units of both filter positions.
template <class Forms> bool PassesFilter(const Unit* candidate, const Forms& forms) {
    const Filter& filter = forms.filter;
    return forms.Agrees(candidate[filter.at[0]], filter.at[0]) &&
           forms.Agrees(candidate[filter.at[1]], filter.at[1]);
}

// The candidate has passed the filter; the whole of it is compared from its end back to its
// start, where a difference shows soonest in repetitive text. For a one-unit search string
// (the routines instantiated with kOneUnit) the filter was the whole comparison.
template <bool kOneUnit, class Forms>
bool RestAgrees(const Unit* candidate, std::uint32_t n, const Forms& forms) {
    if constexpr (!kOneUnit) {
        for (std::uint32_t i = n; i-- > 0;) {
            if (!forms.Agrees(candidate[i], i)) {
                return false;
            }
        }
    }
    return true;
}

#if defined(__SSE2__)
// All ones in each of the eight lanes from `units` on whose position passes the filter: two
// loads, each at its filter position's offset, so that one compare tests eight candidates.
template <bool kOneUnit, class Forms> __m128i FilterHits(const Unit* units, const Forms& forms) {
    const __m128i hits = forms.Hits(Load(units + forms.filter.at[0]), 0);
    if constexpr (kOneUnit) {
        return hits;
    } else {
        return _mm_and_si128(hits, forms.Hits(Load(units + forms.filter.at[1]), 1));
    }
}

// The candidates among 32 positions: bit 2i is set when position i passes the filter.
// Blocks without one, the common case, cost a single mask extraction. The units read lie
// below the position of the last candidate plus n, so inside the text. Always inlined: as a
// call per block it would reload the filter's units and offsets each time, and the search
// would run at half the speed of memory.
template <bool kOneUnit, class Forms>
[[gnu::always_inline]] inline std::uint64_t CandidateMask(const Unit* units, const Forms& forms) {
    const __m128i hits0 = FilterHits<kOneUnit>(units, forms);
    const __m128i hits1 = FilterHits<kOneUnit>(units + 8, forms);
    const __m128i hits2 = FilterHits<kOneUnit>(units + 16, forms);
    const __m128i hits3 = FilterHits<kOneUnit>(units + 24, forms);
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

template <bool kOneUnit, class Forms>
bool MatchesAt(const Unit* candidate, std::uint32_t n, const Forms& forms) {
    return PassesFilter(candidate, forms) && RestAgrees<kOneUnit>(candidate, n, forms);
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
        for (std::uint64_t mask = CandidateMask<kOneUnit>(text + pos, forms); mask != 0;
             mask &= mask - 1) {
            const std::uint32_t p = pos + static_cast<std::uint32_t>(std::countr_zero(mask)) / 2;
            if (RestAgrees<kOneUnit>(text + p, n, forms)) {
                return p;
            }
        }
    }
#endif
    for (; pos < end; ++pos) {
        if (MatchesAt<kOneUnit>(text + pos, n, forms)) {
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
        for (std::uint64_t mask = CandidateMask<kOneUnit>(text + block, forms); mask != 0;) {
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
        if (MatchesAt<kOneUnit>(text + below, n, forms)) {
            return below;
        }
    }
    return kNone;
}

// Calls found(p) for every match from the start of the text on, left to right, each search
// resuming after the match before it, so matches never overlap, until found returns false.
// Every unit read after a call lies at or above the resume point: found may rewrite the text
// below it. Replace All meets a match every few dozen units, so the candidates of a block
// are all taken from one mask of it rather than by a new search after each match.
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
        for (std::uint64_t mask = CandidateMask<kOneUnit>(text + pos, forms); mask != 0;) {
            const std::uint32_t p = pos + static_cast<std::uint32_t>(std::countr_zero(mask)) / 2;
            if (!RestAgrees<kOneUnit>(text + p, n, forms)) {
                mask &= mask - 1;
                continue;
            }
            if (!found(p)) {
                return;
            }
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
        if (!MatchesAt<kOneUnit>(text + pos, n, forms)) {
            ++pos;
        } else if (found(pos)) {
            pos += n;
        } else {
            return;
        }
    }
}

// The length n of the pattern, or 0 when it can match nothing.
inline std::uint32_t PatternLength(const SearchPattern& pattern) {
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
        return withLength(ExactForm(pattern.findString.data(), n));
    }
    const EitherForm forms(pattern.lowerForm.data(), pattern.upperForm.data(), n);
    if (forms.FoldBit(forms.filter.at[0]) && forms.FoldBit(forms.filter.at[1])) {
        return withLength(FoldedForm(forms));
    }
    return withLength(forms);
}

} // namespace engine_scan

#endif
