// Names of the files a save makes beside the document: "twk<process id>-<n>~<target>.tmp" for
// the new content before it is swapped in (without "~<target>" where the whole name would not
// fit in a path), "twk<process id>-<n>.bak" for the old content while a file is written in
// place. The process id tells a later save whether the maker is still running, and the target
// whether the text the file holds is still in its place.
#ifndef TARNWICK_DOCUMENT_SAVE_FILES_H
#define TARNWICK_DOCUMENT_SAVE_FILES_H

#include "app/text_units.h"

#include <cstdint>
#include <optional>

// The pattern FindFirstFileW takes for the new-content files of every process.
inline constexpr char16_t kNewContentPattern[] = u"twk*-*.tmp";

struct NewContentName {
    std::uint32_t process;
    // The name of the file in the same folder that the content was meant for; empty when the
    // name does not tell it.
    UnitView target;
};

// What a new-content file's name tells; nothing for any other name.
std::optional<NewContentName> ReadNewContentName(UnitView name);

#endif
