// One search operation over the edit control's own text buffer: the buffer is locked for
// the operation, searched or rewritten in place, and handed back.
#ifndef TARNWICK_SEARCH_SEARCH_CONTEXT_H
#define TARNWICK_SEARCH_SEARCH_CONTEXT_H

#include "search/engine.h"

#include <windows.h>

#include <cstdint>
#include <optional>

// Opens the operation: locks the control's block, takes the text length, the selection (into
// SelectionRecord) and the search string, and, when FR_MATCHCASE is not among the flags, the
// search string's upper- and lower-case forms. False when there is no memory for those; the
// operation is then closed already.
[[nodiscard]] bool BeginSearch(DWORD flags);

// The next match from the selection, downwards or upwards; the match is [p, p + n).
[[nodiscard]] std::optional<std::uint32_t> SearchFromSelection(bool down);
// The first match at or after the position.
[[nodiscard]] std::optional<std::uint32_t> SearchForwardFrom(std::uint32_t start);

struct ReplaceCurrentResult {
    bool replaced;
    std::uint32_t nextStart; // where the search that follows starts (downwards)
};
// Replaces the selection with ReplaceString when it is the search string, compared as the
// user's language compares text (CompareStringW), undoably.
ReplaceCurrentResult ReplaceCurrent();

// Replaces every occurrence in one pass; the block goes back to the control when its text
// changed length.
[[nodiscard]] ReplaceAllResult ReplaceAllOccurrences();

// The search string's length in this operation.
std::uint32_t SearchLength();
// The text as the operation holds it, locked in place.
const BorrowedText& SearchText();

// A message box in the middle of the operation. While it is up the text goes back to the
// control and the main window takes no input, so nothing can change or free the block under
// the operation; the text is taken again afterwards, as the control then holds it.
int AskDuringSearch(const wchar_t* text, const wchar_t* caption, UINT type);
// The same with the text and the caption from the language library.
int AskDuringSearch(UINT textId, UINT captionId, UINT type);

// Closes the operation: unlocks the text, frees the case forms and refreshes the status.
void EndSearch();

#endif
