// The File commands: new, open, save, save as, type out, dropped files, the question that
// protects unsaved changes, and the window title.
#ifndef TARNWICK_DOCUMENT_FILE_COMMANDS_H
#define TARNWICK_DOCUMENT_FILE_COMMANDS_H

#include <windows.h>

#include <shellapi.h>

// 0 after a Save As dialog was cancelled, until the one who asked has seen it.
extern int SaveAsAccepted;

// The window title without the modified mark ("Tarnwick - a.txt").
const wchar_t* DocumentTitle();
// The title buffer: "* " followed by the title.
const wchar_t* MarkedDocumentTitle();

// Asks whether to save a modified document; true to go on, false when the user cancelled.
bool AskSaveChanges();
void SetDocumentTitle(const wchar_t* name);
// The file dialogs' record, owned by the main window.
void InitFileDialog(HWND owner);

void NewDocument();
void OpenDocument();
void SaveDocument();
void SaveDocumentAs();
void TypeOutDocument();
// Loads DocumentPath as the document and names the window after it.
bool OpenNamedFile();
// WM_DROPFILES of the main window and the edit control: the first file is opened.
void OpenDroppedFiles(HDROP drop);
// Loads the file named on the command line; false when it could not be loaded.
bool OpenCommandLineFile();

#endif
