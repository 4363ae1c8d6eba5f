#include "language/format_template.h"

#include <optional>

namespace {

bool IsDigit(Unit unit) {
    return unit >= u'0' && unit <= u'9';
}

// The conversion that starts after the "%" at `position`, which is moved past it; nullopt for
// one the program never passes arguments to.
std::optional<Conversion> ReadConversion(UnitView pattern, std::size_t& position) {
    auto at = [&](std::size_t i) -> Unit { return i < pattern.size() ? pattern[i] : u'\0'; };
    while (at(position) == u'-' || at(position) == u'#' || at(position) == u'0') {
        ++position;
    }
    while (IsDigit(at(position))) {
        ++position;
    }
    if (at(position) == u'.') {
        ++position;
        while (IsDigit(at(position))) {
            ++position;
        }
    }
    const bool shortOrLong = at(position) == u'h' || at(position) == u'l';
    const bool wideString = at(position) == u'l';
    if (shortOrLong) {
        ++position;
    }
    const Unit type = at(position++);
    switch (type) {
    case u's':
        return shortOrLong && !wideString ? std::nullopt : std::optional(Conversion::Text);
    case u'd':
    case u'i':
    case u'u':
    case u'x':
    case u'X':
        return Conversion::Integer;
    default:
        return std::nullopt;
    }
}

} // namespace

bool TemplateTakes(UnitView pattern, std::initializer_list<Conversion> expected) {
    auto next = expected.begin();
    for (std::size_t position = 0; position < pattern.size();) {
        if (pattern[position++] != u'%') {
            continue;
        }
        if (position < pattern.size() && pattern[position] == u'%') {
            ++position;
            continue;
        }
        const std::optional<Conversion> conversion = ReadConversion(pattern, position);
        if (!conversion || next == expected.end() || *conversion != *next) {
            return false;
        }
        ++next;
    }
    return next == expected.end();
}
