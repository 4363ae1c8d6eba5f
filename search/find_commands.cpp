#include "search/find_commands.h"

HWND FindDialog;
int ReplaceAllUndoAvailable;
HLOCAL ReplaceAllSavedText;

// The dialogs come with find and replace; until then the commands do nothing.
void InitFindDialogRecord(HWND) {}

void OpenFindDialog(bool) {}

void SearchAgain(bool) {}

void GoToLine() {}

void FindMessageHandler(LPARAM) {}

void DropReplaceAllCopy() {
    if (ReplaceAllUndoAvailable) {
        LocalFree(ReplaceAllSavedText);
        ReplaceAllSavedText = nullptr;
        ReplaceAllUndoAvailable = 0;
    }
}
