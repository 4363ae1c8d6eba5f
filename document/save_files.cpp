#include "document/save_files.h"

namespace {

constexpr UnitView kExtension = u".tmp";

// Reads the decimal digits at the front of the text into value; the rest stays in text.
bool TakeNumber(UnitView& text, std::uint32_t& value) {
    std::uint64_t number = 0;
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= u'0' && text[digits] <= u'9') {
        number = number * 10 + (text[digits] - u'0');
        if (++digits > 10 || number > UINT32_MAX) {
            return false;
        }
    }
    text.remove_prefix(digits);
    value = static_cast<std::uint32_t>(number);
    return digits > 0;
}

// File names compare without regard to case; expected is in lower case.
bool SameText(UnitView text, UnitView expected) {
    if (text.size() != expected.size()) {
        return false;
    }
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const char16_t c = text[i];
        const char16_t lower = c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c;
        if (lower != expected[i]) {
            return false;
        }
    }
    return true;
}

bool TakeText(UnitView& text, UnitView expected) {
    if (text.size() < expected.size() || !SameText(text.substr(0, expected.size()), expected)) {
        return false;
    }
    text.remove_prefix(expected.size());
    return true;
}

} // namespace

std::optional<NewContentName> ReadNewContentName(UnitView name) {
    NewContentName read{};
    std::uint32_t count = 0;
    if (!TakeText(name, u"twk") || !TakeNumber(name, read.process) || !TakeText(name, u"-") ||
        !TakeNumber(name, count) || name.size() < kExtension.size() ||
        !SameText(name.substr(name.size() - kExtension.size()), kExtension)) {
        return std::nullopt;
    }
    name.remove_suffix(kExtension.size());
    if (name.empty()) {
        return read;
    }
    if (!TakeText(name, u"~") || name.empty()) {
        return std::nullopt;
    }
    read.target = name;
    return read;
}
