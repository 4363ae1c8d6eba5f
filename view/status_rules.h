// What the status bar reports: which end of the selection the line and column describe, and
// the code of the character after it.
#ifndef TARNWICK_VIEW_STATUS_RULES_H
#define TARNWICK_VIEW_STATUS_RULES_H

#include "app/text_units.h"

#include <cstdint>

enum class ReportedEnd { Start, End };

struct SelectionSpan {
    std::uint32_t start;
    std::uint32_t end;
};

struct ReportChoice {
    ReportedEnd reported;
    bool redraw; // the position part must be formatted and sent again
};

// The end that follows the user's hand: the one that moved, or when both moved, the one in the
// direction of the move. `shown` is what the bar last showed (all ones before anything was
// shown, which counts as the highest position); `endOnce` asks for the end whatever moved.
ReportChoice ChooseReportedEnd(SelectionSpan shown, SelectionSpan now, bool endOnce,
                               ReportedEnd previous);

// The code shown for the units at the reported position: a unit of a surrogate pair is shown
// together with the unit after it (first unit in the low half), any other unit alone.
std::uint32_t CharacterCode(Unit first, Unit second);

inline bool IsSurrogate(Unit unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

#endif
