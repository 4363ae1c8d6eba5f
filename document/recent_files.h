// The list of the ten most recent files in the File menu, kept in the settings file.
#ifndef TARNWICK_DOCUMENT_RECENT_FILES_H
#define TARNWICK_DOCUMENT_RECENT_FILES_H

#include <windows.h>

// Puts DocumentPath at the front of the list, rebuilds the menu items and writes the list.
void AddToRecentFiles();
// The list's items in the File menu above the item of command 310, and a separator; the
// menu is the menu bar.
void BuildRecentFileItems(HMENU menu);
void RemoveRecentFileItems(HMENU menu);
// Commands 311 to 320.
void OpenRecentFile(UINT command);
// Command 503.
void ClearRecentFiles();
// The Options popup is about to open: clearing needs a list.
void EnableClearRecentFiles(HMENU menu);

#endif
