// Printing the document (command 305).
#ifndef TARNWICK_PRINT_PRINTING_H
#define TARNWICK_PRINT_PRINTING_H

// Asks for the printer and the number of copies, then prints the whole text in the edit font's
// face with the page set-up's margins. The main window is disabled while the job is drawn.
void PrintDocument();

#endif
