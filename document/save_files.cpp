#include "document/save_files.h"

namespace {

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

bool TakeText(UnitView& text, UnitView expected) {
    if (text.size() < expected.size()) {
        return false;
    }
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const char16_t c = text[i];
        const char16_t lower = c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c;
        if (lower != expected[i]) {
            return false;
        }
    }
    text.remove_prefix(expected.size());
    return true;
}

} // namespace

std::optional<std::uint32_t> NewContentOwner(UnitView name) {
    std::uint32_t process = 0;
    std::uint32_t count = 0;
    if (TakeText(name, u"twk") && TakeNumber(name, process) && TakeText(name, u"-") &&
        TakeNumber(name, count) && TakeText(name, u".tmp") && name.empty()) {
        return process;
    }
    return std::nullopt;
}
