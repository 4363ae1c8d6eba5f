// Rules for the program's fixed-size path buffers (260 units with the terminator).
#ifndef TARNWICK_APP_PATH_RULES_H
#define TARNWICK_APP_PATH_RULES_H

#include "app/text_units.h"

#include <cstddef>

// MAX_PATH: every path buffer of the program holds at most this many units, terminator included.
inline constexpr std::size_t kPathCapacity = 260;

// Copies the terminated text into the buffer. When it does not fit, the buffer is left
// empty and the result is false.
[[nodiscard]] bool CopyTerminated(UnitBuffer destination, UnitView text);

// The source cut directly after its last backslash ("C:\a\b.exe" gives "C:\a\"); a path
// without a backslash gives the empty string. False (and an empty destination) when the
// folder does not fit.
[[nodiscard]] bool GetFolderOfPath(UnitBuffer destination, UnitView source);

// The folder followed by the name. A folder that is empty or a result that would not fit
// gives an empty destination and false: a bare name would be looked up relative to the
// current folder and could open some other file.
[[nodiscard]] bool ComposePath(UnitBuffer destination, UnitView folder, UnitView name);

#endif
