#include "document/recent_files.h"

// The list itself comes with the recent-files menu; until then these do nothing.
void AddToRecentFiles() {}

void BuildRecentFileItems(HMENU) {}

void OpenRecentFile(UINT) {}

void ClearRecentFiles() {}
