// The system's list of recent documents (the shell's, not the program's own).
#ifndef TARNWICK_DOCUMENT_SYSTEM_RECENT_H
#define TARNWICK_DOCUMENT_SYSTEM_RECENT_H

void AddToSystemRecentDocuments(const wchar_t* path);

#endif
