// The stamp of a file as it is on the disk now.
#ifndef TARNWICK_DOCUMENT_FILE_STAMP_H
#define TARNWICK_DOCUMENT_FILE_STAMP_H

#include "document/recovery_record.h"

#include <windows.h>

enum class StampRead {
    Read,
    // The file or its folder is not there.
    Missing,
    // Anything else: the file may well be there.
    Unknown,
};

// Read through a handle of its own, so that a network drive answers from the file itself rather
// than from a cache of its attributes.
StampRead ReadFileStamp(const wchar_t* path, FileStamp& stamp);

#endif
