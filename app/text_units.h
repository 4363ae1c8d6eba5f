// The program's text is UTF-16. Platform-free code works on char16_t units, which are
// 16 bits wide on every compiler; on Windows they are the same units as wchar_t.
#ifndef TARNWICK_APP_TEXT_UNITS_H
#define TARNWICK_APP_TEXT_UNITS_H

#include <span>
#include <string_view>

using Unit = char16_t;
using UnitView = std::u16string_view;
using UnitBuffer = std::span<Unit>;

#ifdef _WIN32
static_assert(sizeof(wchar_t) == sizeof(Unit), "wchar_t holds one UTF-16 unit on Windows");

inline UnitView AsUnits(const wchar_t* text) {
    return UnitView(reinterpret_cast<const Unit*>(text));
}

template <std::size_t N> inline UnitBuffer AsUnitBuffer(wchar_t (&buffer)[N]) {
    return UnitBuffer(reinterpret_cast<Unit*>(buffer), N);
}

inline const wchar_t* AsWide(UnitView text) {
    return reinterpret_cast<const wchar_t*>(text.data());
}
#endif

#endif
