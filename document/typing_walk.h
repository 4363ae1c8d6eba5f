// Which characters typing out a text sends to the edit control, and where it pauses.
#ifndef TARNWICK_DOCUMENT_TYPING_WALK_H
#define TARNWICK_DOCUMENT_TYPING_WALK_H

#include "app/text_units.h"

#include <cstddef>
#include <optional>

struct TypedCharacter {
    Unit code;       // sent as one WM_CHAR
    bool pauseAfter; // the 150 ms pause follows it
};

// The next character to type from the zero-terminated text at position, which moves past
// what was consumed: a carriage return with its line feed is one Enter (13) without a pause;
// a carriage return alone is skipped; every other character, a lone line feed included, is
// typed and followed by a pause. Nothing when the text ends (at a NUL).
std::optional<TypedCharacter> NextTypedCharacter(const Unit* text, std::size_t& position);

#endif
