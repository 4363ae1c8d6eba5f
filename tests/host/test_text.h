// Small helpers for tests over UTF-16 units.
#ifndef TARNWICK_TESTS_HOST_TEST_TEXT_H
#define TARNWICK_TESTS_HOST_TEST_TEXT_H

#include "app/text_units.h"

#include <algorithm>
#include <array>
#include <string>

// The text as ASCII, for readable failure messages.
inline std::string Narrow(UnitView view) {
    std::string text;
    for (Unit unit : view) {
        text += unit < 0x80 ? static_cast<char>(unit) : '?';
    }
    return text;
}

// The terminated text in a buffer.
template <std::size_t N> std::string Narrow(const std::array<Unit, N>& buffer) {
    return Narrow(UnitView(buffer.begin(), std::ranges::find(buffer, u'\0')));
}

#endif
