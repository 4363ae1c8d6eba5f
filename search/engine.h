// The search engine: finds the search string in the edit control's own text buffer, forwards
// or backwards, with or without regard to case, and replaces every occurrence in one pass.
// It borrows the buffer and never copies the document. It never converts the text either:
// with case ignored each text unit is compared with the search string's lower- and
// upper-case forms, which the caller makes once per search.
//
// The Win32 side of the search holds the SearchContext: BeginSearch locks the edit control's
// block and reads L, the selection and FindString into a BorrowedText and a SearchPattern;
// it calls one of the operations below; EndSearch hands the block back (EM_SETHANDLE when a
// Replace All changed the length) and unlocks it. Positions, lengths and counts are 32-bit
// unsigned units; comparison is unit by unit (a surrogate pair is two units).
#ifndef TARNWICK_SEARCH_ENGINE_H
#define TARNWICK_SEARCH_ENGINE_H

#include "app/text_units.h"

#include <cstddef>
#include <cstdint>
#include <optional>

// The text the engine works on: `length` units at `units`, with a zero unit at units[length].
// The block belongs to the caller (the edit control); the engine reads it and, in Replace
// All, rewrites it in place.
struct BorrowedText {
    Unit* units = nullptr;
    std::uint32_t length = 0;
};

// What is looked for. Its length n is findString.size(); an empty search string matches
// nothing anywhere. With matchCase a text unit at position i must equal findString[i];
// without it, it must equal lowerForm[i] or upperForm[i] (the search string converted unit
// by unit by the caller). Case forms that are not n units long match nothing.
struct SearchPattern {
    UnitView findString;
    bool matchCase = true;
    UnitView lowerForm;
    UnitView upperForm;
};

// The first match at a position p ≥ start, or none. No match runs past the end of the text.
[[nodiscard]] std::optional<std::uint32_t>
FindForward(const BorrowedText& text, const SearchPattern& pattern, std::uint32_t start);

// The last match at a position p < start, or none. A start beyond the last place a match can
// begin counts as that place plus one, so the match may end anywhere up to the text's end.
[[nodiscard]] std::optional<std::uint32_t>
FindBackward(const BorrowedText& text, const SearchPattern& pattern, std::uint32_t start);

// Where FindNext starts from the selection [selStart, selEnd) for a search string of n units.
// Only the selection's length counts, not its content: downwards a selection of n units (a
// match just shown) starts one unit after its start, so overlapping matches are all visited;
// upwards a selection of another length starts at its end, so a match inside it is found.
[[nodiscard]] std::uint32_t FindNextStart(std::uint32_t selStart, std::uint32_t selEnd,
                                          std::uint32_t n, bool down);

// FindForward (down) or FindBackward (up) from FindNextStart. The match is [p, p + n).
[[nodiscard]] std::optional<std::uint32_t> FindNext(const BorrowedText& text,
                                                    const SearchPattern& pattern,
                                                    std::uint32_t selStart, std::uint32_t selEnd,
                                                    bool down);

// The test of ReplaceCurrent: whether the selection is the occurrence that the Replace button
// replaces. It must be n units long (n > 0) and `equal(selected, findString)` must hold. The
// equality is the caller's and is linguistic, unlike the unit test of the search: on Windows
// CompareStringW (LOCALE_USER_DEFAULT, SORT_STRINGSORT, plus NORM_IGNORECASE when case is
// ignored) returning CSTR_EQUAL. The rest of ReplaceCurrent is the Win32 side's: it replaces
// the selection with EM_REPLACESEL (undo allowed), and the next search is FindForward from
// selStart + r over the text as the edit control holds it afterwards.
template <class Equality>
[[nodiscard]] bool SelectionIsCurrentMatch(const BorrowedText& text, const SearchPattern& pattern,
                                           std::uint32_t selStart, std::uint32_t selEnd,
                                           Equality&& equal) {
    const std::size_t n = pattern.findString.size();
    if (selEnd <= selStart || selEnd > text.length || selEnd - selStart != n) {
        return false;
    }
    return equal(UnitView(text.units + selStart, n), pattern.findString);
}

// The longest text that a Replace All may produce unless the caller says otherwise: the
// length and its terminating zero still count in 32 bits.
inline constexpr std::uint32_t kMaxTextLength = 0xFFFFFFFE;

// What Replace All asks of its caller when the replacement is longer than the search string.
class ReplaceAllMemory {
  public:
    // Resizes the text's block to hold `length` units and the terminating zero, keeping the
    // units it holds and zero-filling the rest; returns the block's address, which may have
    // moved, or null when there is no memory (the block and its text are then unchanged).
    // Called at most once per Replace All, with the exact final length.
    virtual Unit* ResizeText(std::uint32_t length) = 0;

    // The longest text the caller's block can hold, e.g. the largest block it can have. A
    // longer result is refused as out of memory as soon as the scan meets the occurrence
    // that would pass it, and the block is never resized.
    [[nodiscard]] virtual std::uint32_t MaxTextLength() const { return kMaxTextLength; }

    // Memory for the positions of the occurrences, taken one chunk of `bytes` at a time as
    // the scan fills them (all chunks together hold the positions and less than one chunk
    // more), aligned as the heap aligns; null when there is no memory. Every chunk is freed
    // before Replace All returns. By default taken from the heap without throwing.
    virtual void* AllocateChunk(std::size_t bytes);
    virtual void FreeChunk(void* chunk);

  protected:
    ~ReplaceAllMemory() = default;
};

struct ReplaceAllResult {
    std::uint32_t count = 0;  // occurrences replaced, each counted once
    bool outOfMemory = false; // only with a longer replacement; the text is then unchanged
};

// Replaces every occurrence, found left to right in the text as it was before any
// replacement, each scan resuming after the previous occurrence (so occurrences never
// overlap: 'aa' in 'aaaa' is replaced twice, in 'aaa' once). The method follows from the
// lengths r of the replacement and n of the search string:
//   r = n: each occurrence is overwritten in place; the length stays.
//   r < n: one pass with a read and a write position; a zero ends the shorter text. The
//          block keeps its size.
//   r > n: one scan records the occurrences, the block is resized once to the final length
//          L + count × (r − n) and the text is rebuilt from its end to its start.
// On return `text` holds the new address and length. Unless out of memory, the caller hands
// the block back to the edit control when r ≠ n and the count is above 0.
[[nodiscard]] ReplaceAllResult ReplaceAll(BorrowedText& text, const SearchPattern& pattern,
                                          UnitView replacement, ReplaceAllMemory& memory);

#endif
