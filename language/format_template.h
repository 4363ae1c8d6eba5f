// The conversions of a wsprintf template from a language library, checked before the program
// hands the template its arguments: a template that asks for other arguments than those
// passed would read memory that is not there.
#ifndef TARNWICK_LANGUAGE_FORMAT_TEMPLATE_H
#define TARNWICK_LANGUAGE_FORMAT_TEMPLATE_H

#include "app/text_units.h"

#include <initializer_list>

enum class Conversion {
    Text,    // %s or %ls: a wide string
    Integer, // %d %i %u %x %X, optionally with h or l: one 32-bit integer
};

// True when the template's conversions are exactly these, in this order. Flags (- # 0), a
// width and a precision are allowed; "%%" is a plain percent sign and takes no argument.
// Anything else after a "%" (another type, a 64-bit size, a "*" width, a "%" at the end) makes
// the template unusable.
bool TemplateTakes(UnitView pattern, std::initializer_list<Conversion> expected);

#endif
