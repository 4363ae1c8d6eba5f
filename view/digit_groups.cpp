#include "view/digit_groups.h"

#include "app/settings_table.h"

std::size_t GroupDigits(UnitView source, UnitBuffer destination) {
    if (destination.empty()) {
        return 0;
    }
    const std::size_t room = destination.size() - 1;
    std::size_t written = 0;
    for (std::size_t i = 0; i < source.size(); ++i) {
        const bool groupStarts = i != 0 && (source.size() - i) % 3 == 0;
        if (groupStarts && written < room) {
            destination[written++] = u' ';
        }
        if (written < room) {
            destination[written++] = source[i];
        }
    }
    destination[written] = u'\0';
    return written;
}

std::size_t FormatGroupedNumber(std::uint32_t value,
                                std::span<Unit, kGroupedNumberCapacity> destination) {
    std::array<Unit, kUnsignedDecimalCapacity> digits{};
    const std::size_t count = FormatUnsignedDecimal(value, digits);
    return GroupDigits(UnitView(digits.data(), count), destination);
}
