// The list of the ten most recent files in the File menu.
#ifndef TARNWICK_DOCUMENT_RECENT_FILES_H
#define TARNWICK_DOCUMENT_RECENT_FILES_H

#include <windows.h>

// Puts DocumentPath at the front of the list.
void AddToRecentFiles();
// The list's items in the File menu above the item of command 310.
void BuildRecentFileItems(HMENU menu);
// Commands 311 to 320 and 503.
void OpenRecentFile(UINT command);
void ClearRecentFiles();

#endif
