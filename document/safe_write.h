// Writing a document's bytes so that a failure never costs the file's previous content.
#ifndef TARNWICK_DOCUMENT_SAFE_WRITE_H
#define TARNWICK_DOCUMENT_SAFE_WRITE_H

#include <windows.h>

#include <span>
#include <string>

using BytePieces = std::span<const std::span<const BYTE>>;

// Makes the pieces, one after another, the whole content of the file. The file is opened
// first with the access and sharing a save asks for, so a locked or read-only file is refused
// before anything happens. The new content is written to a file of its own in the same folder,
// flushed and swapped in with ReplaceFileW (keeping attributes, ACLs and streams); where that
// cannot be done the old content is copied aside, the file written in place and the old
// content put back should that fail. False, with the system's error code, when the bytes did
// not all reach the file; the file then holds its previous content, or, where a failure left
// it in doubt, keptCopy names the file of the program's that holds the text (otherwise it is
// empty). After a save on a local disk, the new-content files that copies no longer running
// left in the folder are removed where their file is there.
[[nodiscard]] bool WriteWholeFile(const wchar_t* path, BytePieces pieces, std::wstring& keptCopy);

#endif
