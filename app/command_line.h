// The one file name argument of Tarnwick's command line.
#ifndef TARNWICK_APP_COMMAND_LINE_H
#define TARNWICK_APP_COMMAND_LINE_H

#include "app/text_units.h"

enum class CommandLineName {
    Found,   // the name is in the destination, terminated
    None,    // no name; the destination is untouched
    TooLong, // 260 units or more; the destination is untouched
};

// Takes the full command line, the program's own name first, as GetCommandLineW gives it.
// Only U+0020 separates; an unquoted name runs to the end of the line, blanks included.
// The destination holds 260 units.
[[nodiscard]] CommandLineName GetCommandLineFileName(UnitView commandLine, UnitBuffer destination);

#endif
