// Names of the files a save makes beside the document: "twk<process id>-<n>.tmp" for the new
// content before it is swapped in, "twk<process id>-<n>.bak" for the old content while a file is
// written in place. The process id tells a later save whether the maker is still running.
#ifndef TARNWICK_DOCUMENT_SAVE_FILES_H
#define TARNWICK_DOCUMENT_SAVE_FILES_H

#include "app/text_units.h"

#include <cstdint>
#include <optional>

// The pattern FindFirstFileW takes for the new-content files of every process.
inline constexpr char16_t kNewContentPattern[] = u"twk*-*.tmp";

// The process that made a new-content file of that name; nothing for any other name.
std::optional<std::uint32_t> NewContentOwner(UnitView name);

#endif
