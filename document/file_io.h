// Moving the document between its file and the edit control.
#ifndef TARNWICK_DOCUMENT_FILE_IO_H
#define TARNWICK_DOCUMENT_FILE_IO_H

#include <windows.h>

// 1 while the document has no file of its own.
extern int Untitled;

enum FileMode : int {
    kFileLoad = 0,
    kFileSave = 1,
    kFileTypeOut = 2,
};

// Loads, saves or types out the file named by DocumentPath. Non-zero on success; zero with
// the reason in the thread's last-error value. A failed load or type-out leaves the text,
// the encoding, DocumentPath and Untitled as they were.
BOOL FileOperation(int mode);

// A save in ANSI of a text that the code page cannot hold exactly first asks whether to
// change those characters, save UTF-16 LE instead, or cancel (ERROR_CANCELLED).

// Shows the message for a failed FileOperation (the result zero) and returns the result; a
// save the user cancelled shows none.
BOOL ReportFileError(BOOL result);
// String 7 with the path: the file is not there.
void ShowFileNotFound(const wchar_t* path);
// The document belongs to the file at the path from now on (a recovered text of it).
void AdoptFile(const wchar_t* path);

#endif
