#include "document/typing_walk.h"

std::optional<TypedCharacter> NextTypedCharacter(const Unit* text, std::size_t& position) {
    for (;;) {
        const Unit unit = text[position];
        if (unit == u'\0') {
            return std::nullopt;
        }
        ++position;
        if (unit != u'\r') {
            return TypedCharacter{unit, true};
        }
        if (text[position] == u'\n') {
            ++position;
            return TypedCharacter{u'\r', false};
        }
    }
}
