// Kept apart from the file operations: the shell's headers declare a class of the same name.
#include "document/system_recent.h"

#include <windows.h>

#include <shlobj.h>

void AddToSystemRecentDocuments(const wchar_t* path) {
    SHAddToRecentDocs(SHARD_PATHW, path);
}
