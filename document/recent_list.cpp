#include "document/recent_list.h"

#include <algorithm>

RecentOrder InitialRecentOrder() {
    RecentOrder order{};
    for (std::size_t i = 0; i < kRecentCapacity; ++i) {
        order[i] = i;
    }
    return order;
}

namespace {

// Entries 0 to position - 1 move one place back and the slot becomes entry 0.
void MoveToFront(RecentOrder& order, std::size_t position, std::size_t slot) {
    std::copy_backward(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(position),
                       order.begin() + static_cast<std::ptrdiff_t>(position) + 1);
    order[0] = slot;
}

} // namespace

RecentPlacement PlaceAtFront(RecentOrder& order, std::size_t count,
                             std::optional<std::size_t> matchingSlot) {
    count = std::min(count, kRecentCapacity);
    if (count == 0) {
        order[0] = 0;
        return {0, true, 1};
    }
    if (matchingSlot) {
        const auto last = order.begin() + static_cast<std::ptrdiff_t>(count);
        const auto found = std::find(order.begin(), last, *matchingSlot);
        if (found != last) {
            MoveToFront(order, static_cast<std::size_t>(found - order.begin()), *matchingSlot);
        }
        return {*matchingSlot, false, count};
    }
    if (count < kRecentCapacity) {
        MoveToFront(order, count, count);
        return {count, true, count + 1};
    }
    const std::size_t oldest = order[kRecentCapacity - 1];
    MoveToFront(order, kRecentCapacity - 1, oldest);
    return {oldest, true, count};
}

std::size_t RecentItemText(std::size_t index, UnitView path, UnitBuffer destination) {
    if (destination.empty()) {
        return 0;
    }
    const std::size_t room = destination.size() - 1;
    std::size_t written = 0;
    auto put = [&](Unit unit) {
        if (written < room) {
            destination[written++] = unit;
        }
    };
    put(u'&');
    put(static_cast<Unit>(u'0' + index % kRecentCapacity));
    put(u':');
    put(u' ');
    for (Unit unit : path) {
        if (unit == u'&') {
            put(u'&');
        }
        put(unit);
    }
    destination[written] = u'\0';
    return written;
}
