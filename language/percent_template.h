// Language strings with a "%" where a text goes.
#ifndef TARNWICK_LANGUAGE_PERCENT_TEMPLATE_H
#define TARNWICK_LANGUAGE_PERCENT_TEMPLATE_H

#include "app/text_units.h"

#include <cstddef>

enum class PercentFill { First, Every };

// Copies the template into the destination with the value in place of its first "%" (later
// ones are left out), or in place of every "%"; cut to the destination and always
// terminated. Returns the units written.
std::size_t FillPercentTemplate(UnitView pattern, UnitView value, UnitBuffer destination,
                                PercentFill fill = PercentFill::First);

#endif
