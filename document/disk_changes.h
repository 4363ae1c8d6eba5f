// The document's file changed on disk by another program while it is open here: the record of
// the file as this program last loaded or saved it, the check when the program is activated,
// and the question before a save would write over another program's changes.
#ifndef TARNWICK_DOCUMENT_DISK_CHANGES_H
#define TARNWICK_DOCUMENT_DISK_CHANGES_H

#include "document/recovery_record.h"

#include <windows.h>

#include <optional>

// The stamp of the document's file after its last load, type-out or save; none for a new
// document or where it could not be read.
extern std::optional<FileStamp> DocumentStamp;

// After a load, type-out or save of DocumentPath.
void RecordDocumentStamp();
// A new document, or one restored with the stamp its file had.
void SetDocumentStamp(std::optional<FileStamp> stamp);

// WM_ACTIVATEAPP: the check is posted, so that it never runs inside the activation.
void OnApplicationActivated(bool active);
// kDiskCheckMessage and kDiskCheckTimer: the check, or a later one while the program is asking
// the user something or typing a file out.
void CheckDocumentOnDisk();
// kDiskStampMessage: a stamp read on a network drive.
void OnDiskStampRead(LPARAM result);

enum class SaveOverChoice { Save, SaveAs, Cancel };
// Before a save to the document's file: Save when the file is as it was recorded (or gone);
// otherwise the user's answer to whether to save over the other program's changes.
SaveOverChoice AskBeforeSavingOverChanges();

#endif
