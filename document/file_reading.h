// Reading a document file: its size checked, its mark recognised, its text read.
#ifndef TARNWICK_DOCUMENT_FILE_READING_H
#define TARNWICK_DOCUMENT_FILE_READING_H

#include "app/handles.h"
#include "document/encoding.h"

#include <windows.h>

// The file's text after its mark, at the start of a zero-filled movable block of size + 4
// bytes, so that at least two zero bytes follow it: for UTF-16 LE the block is the text the
// edit control takes.
struct FileText {
    MovableBlock bytes;
    DWORD count = 0;
    EncodingId encoding = kEncodingAnsi;
};

// Reads the whole open file. False, with the system's error code, for a file of 4 GiB or more
// (ERROR_FILE_TOO_LARGE), a refused mark (ERROR_BAD_FORMAT), a failed allocation or a read
// that did not deliver every byte.
[[nodiscard]] bool ReadFileText(HANDLE file, FileText& text);

#endif
