// The main window's title: "Tarnwick - " and the document's name, with "* " in front while
// the document is modified.
#ifndef TARNWICK_DOCUMENT_DOCUMENT_TITLE_H
#define TARNWICK_DOCUMENT_DOCUMENT_TITLE_H

// Names the document and shows its title without the mark.
void SetDocumentTitle(const wchar_t* name);
// Names the document after the file at DocumentPath.
void TitleFromDocumentPath();
// Shows the title with or without the mark; the window text is set only when that changes,
// since the status refresh asks on every caret move.
void ShowDocumentTitle(bool marked);

#endif
