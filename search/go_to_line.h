// The Go To Line dialog (command 4).
#ifndef TARNWICK_SEARCH_GO_TO_LINE_H
#define TARNWICK_SEARCH_GO_TO_LINE_H

// Asks for a line number and puts the caret at the start of that line.
void GoToLine();

#endif
