#include "app/settings_table.h"

#include <algorithm>

std::array<Unit, 5> RecentKey(std::size_t index) {
    return {u'M', u'R', u'U', static_cast<Unit>(u'0' + index % kRecentCount), u'\0'};
}

std::int32_t ParseProfileInteger(UnitView text) {
    std::size_t position = 0;
    while (position < text.size() && (text[position] == u' ' || text[position] == u'\t')) {
        ++position;
    }
    if (position == text.size()) {
        return kProfileIntAbsent;
    }
    bool negative = false;
    if (text[position] == u'-' || text[position] == u'+') {
        negative = text[position] == u'-';
        ++position;
    }
    std::uint32_t value = 0;
    for (; position < text.size() && text[position] >= u'0' && text[position] <= u'9'; ++position) {
        value = value * 10u + static_cast<std::uint32_t>(text[position] - u'0');
    }
    if (negative) {
        value = 0u - value;
    }
    return static_cast<std::int32_t>(value);
}

std::size_t FormatUnsignedDecimal(std::uint32_t value,
                                  std::span<Unit, kUnsignedDecimalCapacity> buffer) {
    std::array<Unit, kUnsignedDecimalCapacity> reversed{};
    std::size_t count = 0;
    do {
        reversed[count++] = static_cast<Unit>(u'0' + value % 10u);
        value /= 10u;
    } while (value != 0);
    std::reverse_copy(reversed.begin(), reversed.begin() + count, buffer.begin());
    buffer[count] = u'\0';
    return count;
}

void CheckRanges(IntegerSettings& settings, std::int32_t screenWidth, std::int32_t screenHeight) {
    auto at = [&settings](IntKey key) -> std::int32_t& { return settings[IndexOf(key)]; };

    if (at(IntKey::x) < 0 || at(IntKey::x) > screenWidth) {
        at(IntKey::x) = 120;
    }
    if (at(IntKey::y) < 0 || at(IntKey::y) > screenHeight) {
        at(IntKey::y) = 100;
    }
    // Compared in 64 bits: the screen size less a position cannot overflow there.
    if (at(IntKey::Width) < 0 || at(IntKey::Width) > std::int64_t{screenWidth} - at(IntKey::x)) {
        at(IntKey::Width) = 770;
    }
    if (at(IntKey::Height) < 0 || at(IntKey::Height) > std::int64_t{screenHeight} - at(IntKey::y)) {
        at(IntKey::Height) = 473;
    }
    if (static_cast<std::uint32_t>(at(IntKey::MruCount)) > kRecentCount) {
        at(IntKey::MruCount) = kRecentCount;
    }
    const auto language = static_cast<std::uint32_t>(at(IntKey::Language));
    if (language < 10000u || language > 10002u) {
        at(IntKey::Language) = 10001;
    }
}

std::size_t MakeProfileValue(UnitView text, UnitBuffer destination) {
    const std::size_t count = std::min(text.size(), destination.size() - 1);
    std::transform(text.begin(), text.begin() + count, destination.begin(),
                   [](Unit unit) { return unit == u'\r' || unit == u'\n' ? u' ' : unit; });
    destination[count] = u'\0';
    return count;
}
