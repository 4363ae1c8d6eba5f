// The File commands: new, open, save, save as, type out, dropped files, and the question that
// protects unsaved changes.
#ifndef TARNWICK_DOCUMENT_FILE_COMMANDS_H
#define TARNWICK_DOCUMENT_FILE_COMMANDS_H

#include "document/encoding.h"
#include "document/recovery_record.h"

#include <windows.h>

#include <optional>

#include <shellapi.h>

// Asks whether to save a modified document; true to go on, false when the user cancelled or
// the save asked for did not succeed. A running type-out is stopped first.
bool AskSaveChanges();
// The file dialogs' record, owned by the main window.
void InitFileDialog(HWND owner);

void NewDocument();
void OpenDocument();
// Command 302.
void SaveDocument();
// Command 303.
void SaveDocumentAs();
// Saves to the document's file, or through Save As for a new document; true when the text
// reached a file.
bool SaveCurrentDocument();
void TypeOutDocument();
// Loads DocumentPath as the document and names the window after it.
bool OpenNamedFile();
// Asks about unsaved changes, then opens the file at the path (a recent file or a dropped one).
void OpenPathAfterAsking(const wchar_t* path);
// WM_DROPFILES of the main window and the edit control: the first file is opened.
void OpenDroppedFiles(HDROP drop);
// Loads the file named on the command line; false when it could not be loaded.
bool OpenCommandLineFile();
// Loads the document's file again, as it is on disk now.
void ReloadDocument();
// A recovered text, already in the edit control, becomes the document: modified, of the file at
// the path (or new, for none), in the encoding, with the stamp its file had.
void RestoreDocument(const wchar_t* path, EncodingId encoding, std::optional<FileStamp> stamp);

#endif
