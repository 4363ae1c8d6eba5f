// Reading a document file: its size checked, its mark recognised, its text decoded straight
// into the block the edit control takes.
#ifndef TARNWICK_DOCUMENT_FILE_READING_H
#define TARNWICK_DOCUMENT_FILE_READING_H

#include "app/handles.h"
#include "document/encoding.h"

#include <windows.h>

// The file's text after its mark as zero-terminated UTF-16 at the start of a zero-filled movable
// block, the edit control's kind.
struct FileText {
    MovableBlock text;
    // The characters decoded; an odd last byte of UTF-16 is a unit with a zero high byte.
    DWORD length = 0;
    EncodingId encoding = kEncodingAnsi;
    // A NUL among the characters ends the text before the rest of them.
    bool stopsAtNul = false;
    // Bytes that the ANSI code page cannot read are shown as its replacement character; saving
    // would write that character's bytes in their place.
    bool bytesReplaced = false;
};

// Through a read-only mapping, slice by slice, on fixed local drives; with ReadFile elsewhere,
// where a failed read of a mapped page (a removed disk, a lost network) would be the rule
// rather than the exception.
enum class ReadWay { Mapped, Read };
ReadWay ReadWayFor(const wchar_t* path);

// Reads and decodes the whole open file. False, with the system's error code, for a file of
// 4 GiB or more (ERROR_FILE_TOO_LARGE), a refused mark (ERROR_BAD_FORMAT), a failed allocation,
// a read that did not deliver every byte (ERROR_READ_FAULT for a mapped page that could not be
// read, the file shortened meanwhile).
[[nodiscard]] bool ReadFileText(HANDLE file, ReadWay way, FileText& text);

#endif
