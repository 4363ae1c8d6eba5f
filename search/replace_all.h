// Replace All as the user sees it: the copy of the text that lets it be undone, the memory
// questions and the report of how many occurrences were replaced.
#ifndef TARNWICK_SEARCH_REPLACE_ALL_H
#define TARNWICK_SEARCH_REPLACE_ALL_H

#include <windows.h>

// Set while ReplaceAllSavedText holds the text as it was before the last Replace All, in a
// block the edit control can take as its own.
extern int ReplaceAllUndoAvailable;
extern HLOCAL ReplaceAllSavedText;

// The dialog's Replace All button, inside an open search operation.
void RunReplaceAll();
// Command 101 while a copy is held: the text before the Replace All comes back.
void UndoReplaceAll();
// The copy belongs to the text it was taken from: any edit, a new document or a loaded file
// ends the chance to undo.
void DropReplaceAllCopy();

#endif
