// What the user is shown after a search: the match selected and in view, or the message that
// nothing was found with the selection as it was.
#ifndef TARNWICK_SEARCH_SEARCH_REPORT_H
#define TARNWICK_SEARCH_SEARCH_REPORT_H

#include <cstdint>
#include <optional>

// Selects [p, p + n) and brings it into view (centred when the option asks for it); the
// keyboard focus stays where it is.
void ShowMatch(std::uint32_t position, std::uint32_t length);
// Restores the recorded selection, says that nothing was found and gives the dialog back.
void ReportNothingFound();
// The match, or the message that there is none.
void ShowSearchResult(std::optional<std::uint32_t> match, std::uint32_t length);
// The Find or Replace dialog takes input and the keyboard focus again.
void GiveDialogBack();
// Scrolls the line that holds the selection's start to the middle of the edit control.
void CenterFoundLine();

#endif
