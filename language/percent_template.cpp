#include "language/percent_template.h"

std::size_t FillPercentTemplate(UnitView pattern, UnitView value, UnitBuffer destination,
                                PercentFill fill) {
    if (destination.empty()) {
        return 0;
    }
    const std::size_t room = destination.size() - 1;
    std::size_t written = 0;
    auto put = [&](UnitView text) {
        for (Unit unit : text) {
            if (written == room) {
                return;
            }
            destination[written++] = unit;
        }
    };
    bool filled = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != u'%') {
            put(pattern.substr(i, 1));
        } else if (!filled || fill == PercentFill::Every) {
            put(value);
            filled = true;
        }
    }
    destination[written] = u'\0';
    return written;
}
