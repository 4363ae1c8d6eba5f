// Numbers as the status bar and the Replace All report show them: decimal digits in groups
// of three, separated by blanks ("1 234 567").
#ifndef TARNWICK_VIEW_DIGIT_GROUPS_H
#define TARNWICK_VIEW_DIGIT_GROUPS_H

#include "app/text_units.h"

#include <cstddef>
#include <cstdint>
#include <span>

// Ten digits in four groups and the terminator.
inline constexpr std::size_t kGroupedNumberCapacity = 14;

// Copies the digits of the source in groups of three counted from the right, joined by one
// blank; the leftmost group keeps what is left over. Cut to the destination and always
// terminated. Returns the units written.
std::size_t GroupDigits(UnitView source, UnitBuffer destination);

// The value's decimal digits, grouped.
std::size_t FormatGroupedNumber(std::uint32_t value,
                                std::span<Unit, kGroupedNumberCapacity> destination);

#endif
