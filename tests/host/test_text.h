// Small helpers for tests over UTF-16 units.
#ifndef TARNWICK_TESTS_HOST_TEST_TEXT_H
#define TARNWICK_TESTS_HOST_TEST_TEXT_H

#include "app/text_units.h"

#include <array>
#include <string>

// The terminated text in a buffer, as UTF-8 for readable failure messages.
template <std::size_t N> std::string Narrow(const std::array<Unit, N>& buffer) {
    std::string text;
    for (std::size_t i = 0; i < N && buffer[i] != u'\0'; ++i) {
        text += buffer[i] < 0x80 ? static_cast<char>(buffer[i]) : '?';
    }
    return text;
}

inline std::string Narrow(UnitView view) {
    std::string text;
    for (Unit unit : view) {
        text += unit < 0x80 ? static_cast<char>(unit) : '?';
    }
    return text;
}

inline std::u16string Widen(const std::string& text) {
    return {text.begin(), text.end()};
}

#endif
