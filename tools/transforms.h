// The selection transforms: each takes the selected text (n units, not zero-terminated) and
// makes a new zero-terminated text in a block of its own, to be put in the selection's place.
// Case mapping and character types are the caller's (on Windows CharUpperBuffW,
// CharLowerBuffW and GetStringTypeExW), so that the transforms build and run anywhere.
#ifndef TARNWICK_TOOLS_TRANSFORMS_H
#define TARNWICK_TOOLS_TRANSFORMS_H

#include "app/text_units.h"

#include <cstdint>
#include <memory>

// The platform's case rules, unit by unit.
class CaseRules {
  public:
    virtual void ToUpper(Unit* units, std::uint32_t count) const = 0;
    virtual void ToLower(Unit* units, std::uint32_t count) const = 0;
    // Fills types[i] with the type bits of units[i] (kUpperType, kLowerType and others the
    // transforms ignore); false when the types cannot be had.
    virtual bool Classify(const Unit* units, std::uint32_t count, std::uint16_t* types) const = 0;

  protected:
    ~CaseRules() = default;
};

// The type bits that InvertCaseTransform looks at (C1_UPPER and C1_LOWER on Windows).
inline constexpr std::uint16_t kUpperType = 0x0001;
inline constexpr std::uint16_t kLowerType = 0x0002;

// A transform's result: `length` units and a zero after them, and the selection to set
// afterwards, as offsets from the start of the replaced selection. `units` is null when the
// memory could not be had or the result would be longer than the edit control takes
// (0x7FFFFFFE units); nothing is to be replaced then.
struct TransformedText {
    std::unique_ptr<Unit[]> units;
    std::uint32_t length = 0;
    std::uint32_t selectFrom = 0;
    std::uint32_t selectTo = 0;
};

// Same length; the transformed text stays selected.
[[nodiscard]] TransformedText UpperCaseTransform(UnitView selected, const CaseRules& rules);
[[nodiscard]] TransformedText LowerCaseTransform(UnitView selected, const CaseRules& rules);
// An upper-case unit becomes lower case, else a lower-case unit becomes upper case; any other
// unit stays.
[[nodiscard]] TransformedText InvertCaseTransform(UnitView selected, const CaseRules& rules);

// The characters in reverse order: a CR directly followed by an LF is one character, and so is
// a surrogate pair (a high unit directly followed by a low one); both keep their inner order.
[[nodiscard]] TransformedText ReverseTransform(UnitView selected);

// "<b>" text "</b>" and "<i>" text "</i>": the whole result is selected; with nothing selected
// the caret lands between the tags.
[[nodiscard]] TransformedText BoldTransform(UnitView selected);
[[nodiscard]] TransformedText ItalicTransform(UnitView selected);
// "<p>" text "</p>", each CR LF CR LF of the text (scanned from the left, resuming after the
// four units) becoming "</p>\r\n<p>"; selected as the tags are.
[[nodiscard]] TransformedText ParagraphTransform(UnitView selected);

#endif
