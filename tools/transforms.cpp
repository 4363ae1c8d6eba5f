#include "tools/transforms.h"

#include <algorithm>
#include <new>

namespace {

// The largest text the edit control takes (EM_LIMITTEXT with 0); a longer result could never
// be put in the selection's place.
constexpr std::uint64_t kLargestResult = 0x7FFFFFFE;

// A zero-filled block for `length` units and the zero after them, with the whole of it
// selected; null when the length is too large or the memory cannot be had.
TransformedText Allocate(std::uint64_t length) {
    TransformedText result;
    if (length > kLargestResult) {
        return result;
    }
    result.units.reset(new (std::nothrow) Unit[length + 1]());
    if (result.units) {
        result.length = static_cast<std::uint32_t>(length);
        result.selectTo = result.length;
    }
    return result;
}

Unit* Put(Unit* out, UnitView text) {
    return std::copy(text.begin(), text.end(), out);
}

TransformedText CaseCopy(UnitView selected, const CaseRules& rules, bool upper) {
    TransformedText result = Allocate(selected.size());
    if (result.units) {
        Put(result.units.get(), selected);
        if (upper) {
            rules.ToUpper(result.units.get(), result.length);
        } else {
            rules.ToLower(result.units.get(), result.length);
        }
    }
    return result;
}

bool IsHighSurrogate(Unit unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(Unit unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The number of units (1 or 2) of the character that starts at `at`; the second unit must lie
// inside the text for a pair to count.
std::size_t CharacterLength(UnitView text, std::size_t at) {
    if (at + 1 < text.size()) {
        const Unit first = text[at];
        const Unit second = text[at + 1];
        if ((first == u'\r' && second == u'\n') ||
            (IsHighSurrogate(first) && IsLowSurrogate(second))) {
            return 2;
        }
    }
    return 1;
}

TransformedText WrapInTags(UnitView selected, UnitView open, UnitView close) {
    TransformedText result = Allocate(std::uint64_t{selected.size()} + open.size() + close.size());
    if (result.units) {
        Put(Put(Put(result.units.get(), open), selected), close);
        if (selected.empty()) {
            result.selectFrom = result.selectTo = static_cast<std::uint32_t>(open.size());
        }
    }
    return result;
}

constexpr UnitView kParagraphBreak = u"\r\n\r\n";
constexpr UnitView kParagraphSeam = u"</p>\r\n<p>";
constexpr UnitView kParagraphOpen = u"<p>";
constexpr UnitView kParagraphClose = u"</p>";

// Hands the text to `onText` in the stretches between paragraph breaks and calls `onBreak` in
// place of each break. Both the sizing and the copying go through here, so they cannot
// disagree on where the breaks are.
template <typename OnText, typename OnBreak>
void WalkParagraphs(UnitView text, OnText onText, OnBreak onBreak) {
    std::size_t from = 0;
    for (std::size_t at = text.find(kParagraphBreak); at != UnitView::npos;
         at = text.find(kParagraphBreak, from)) {
        onText(text.substr(from, at - from));
        onBreak();
        from = at + kParagraphBreak.size();
    }
    onText(text.substr(from));
}

} // namespace

TransformedText UpperCaseTransform(UnitView selected, const CaseRules& rules) {
    return CaseCopy(selected, rules, true);
}

TransformedText LowerCaseTransform(UnitView selected, const CaseRules& rules) {
    return CaseCopy(selected, rules, false);
}

TransformedText InvertCaseTransform(UnitView selected, const CaseRules& rules) {
    TransformedText result = Allocate(selected.size());
    if (!result.units || selected.empty()) {
        return result;
    }
    const std::unique_ptr<std::uint16_t[]> types(new (std::nothrow) std::uint16_t[result.length]);
    if (!types || !rules.Classify(selected.data(), result.length, types.get())) {
        return {};
    }
    Unit* units = result.units.get();
    Put(units, selected);
    for (std::uint32_t i = 0; i < result.length; ++i) {
        if (types[i] & kUpperType) {
            rules.ToLower(units + i, 1);
        } else if (types[i] & kLowerType) {
            rules.ToUpper(units + i, 1);
        }
    }
    return result;
}

TransformedText ReverseTransform(UnitView selected) {
    TransformedText result = Allocate(selected.size());
    if (result.units) {
        // The character at [at, at + length) goes to the mirrored place at the other end.
        Unit* end = result.units.get() + selected.size();
        std::size_t length = 0;
        for (std::size_t at = 0; at < selected.size(); at += length) {
            length = CharacterLength(selected, at);
            Put(end - at - length, selected.substr(at, length));
        }
    }
    return result;
}

TransformedText BoldTransform(UnitView selected) {
    return WrapInTags(selected, u"<b>", u"</b>");
}

TransformedText ItalicTransform(UnitView selected) {
    return WrapInTags(selected, u"<i>", u"</i>");
}

TransformedText ParagraphTransform(UnitView selected) {
    const std::uint64_t tagged =
        std::uint64_t{selected.size()} + kParagraphOpen.size() + kParagraphClose.size();
    // Too long for the tags alone: refused before the text is scanned.
    if (tagged > kLargestResult) {
        return {};
    }
    if (selected.empty()) {
        return WrapInTags(selected, kParagraphOpen, kParagraphClose);
    }
    std::uint64_t breaks = 0;
    WalkParagraphs(
        selected, [](UnitView) {}, [&breaks] { ++breaks; });
    TransformedText result =
        Allocate(tagged + breaks * (kParagraphSeam.size() - kParagraphBreak.size()));
    if (result.units) {
        Unit* out = Put(result.units.get(), kParagraphOpen);
        WalkParagraphs(
            selected, [&out](UnitView text) { out = Put(out, text); },
            [&out] { out = Put(out, kParagraphSeam); });
        Put(out, kParagraphClose);
    }
    return result;
}
