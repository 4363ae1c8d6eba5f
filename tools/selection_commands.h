// Select all, select or delete the caret's line, the date and time, the clipboard.
#ifndef TARNWICK_TOOLS_SELECTION_COMMANDS_H
#define TARNWICK_TOOLS_SELECTION_COMMANDS_H

// Command 5: selects the whole text and reports its end in the status bar.
void SelectAllText();
// Command 6: the line that the status bar reports, with its own line break.
void SelectCurrentLine();
// Command 7.
void DeleteCurrentLine();
// Command 400: the time, a blank and the long date, as the user's locale writes them.
void InsertDateTime();
// Command 100.
void ClearClipboard();

#endif
