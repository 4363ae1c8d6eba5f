// The order of the recent-files list: ten path slots and the display order that refers to
// them, entry 0 being the most recent file.
#ifndef TARNWICK_DOCUMENT_RECENT_LIST_H
#define TARNWICK_DOCUMENT_RECENT_LIST_H

#include "app/text_units.h"

#include <array>
#include <cstddef>
#include <optional>

inline constexpr std::size_t kRecentCapacity = 10;

// Slot numbers in display order; entries 0 to count - 1 are valid.
using RecentOrder = std::array<std::size_t, kRecentCapacity>;

// Entry i refers to slot i, as the list is read from the settings.
RecentOrder InitialRecentOrder();

struct RecentPlacement {
    std::size_t slot;  // the slot that is now entry 0
    bool takesPath;    // the path must be copied into that slot
    std::size_t count; // the new number of entries
};

// Brings a path to the front. `matchingSlot` is the used slot that already holds the path, if
// any: it moves to the front and the others in front of it move back one place. A new path
// takes the first unused slot, or, with the list full, the slot of the oldest entry, which
// leaves the list.
RecentPlacement PlaceAtFront(RecentOrder& order, std::size_t count,
                             std::optional<std::size_t> matchingSlot);

// "&0: " to "&9: " before the path; every "&" of the path is doubled so that it shows as
// itself rather than as a mnemonic.
inline constexpr std::size_t kRecentItemCapacity = 4 + 2 * 259 + 1;
std::size_t RecentItemText(std::size_t index, UnitView path, UnitBuffer destination);

#endif
