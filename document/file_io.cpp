#include "document/file_io.h"

#include "app/handles.h"
#include "app/main_window.h"
#include "app/wait_cursor.h"
#include "document/disk_changes.h"
#include "document/document_path.h"
#include "document/encoding_io.h"
#include "document/file_reading.h"
#include "document/recovery.h"
#include "document/safe_write.h"
#include "document/typing.h"
#include "language/language_library.h"
#include "language/message_box.h"
#include "language/percent_template.h"
#include "language/resource_ids.h"
#include "search/replace_all.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"
#include "view/status_bar.h"

int Untitled = 1;

namespace {

// The path of the file behind the document, to go back to when a load fails (the dialogs
// write the chosen name into DocumentPath before the load).
wchar_t DocumentFilePath[MAX_PATH];
// The path the last operation worked on, for its error message.
wchar_t OperationPath[MAX_PATH];
// Where a save that failed half-way left the text, for its error message; empty otherwise.
std::wstring KeptCopyPath;

bool ReadDocumentFile(FileText& text) {
    UniqueFile file(CreateFileW(DocumentPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && ReadFileText(file.Get(), ReadWayFor(DocumentPath), text);
}

// The document now belongs to the file at DocumentPath, as the file is now.
void TakeFile() {
    Untitled = 0;
    lstrcpynW(DocumentFilePath, DocumentPath, MAX_PATH);
    RecordDocumentStamp();
}

// A failed load or type-out: the document keeps the file it had.
BOOL FailAndKeepFile() {
    const DWORD error = GetLastError();
    lstrcpynW(DocumentPath, DocumentFilePath, MAX_PATH);
    SetLastError(error);
    return FALSE;
}

BOOL LoadDocument() {
    WaitCursor wait;
    FileText text;
    if (!ReadDocumentFile(text)) {
        return FailAndKeepFile();
    }
    GiveTextBlock(text.text.Release());
    // Neither the new text nor the control tells of a change: the copy of the old one goes.
    DropReplaceAllCopy();
    SetCurrentEncoding(text.encoding);
    RefreshStatus();
    TakeFile();
    DiscardRecovery();
    // Saving would drop everything after the NUL, or write other bytes for those the code page
    // cannot read: say so while the file is still whole.
    if (text.stopsAtNul) {
        MessageBoxFromIds(MainWindow, IDS_TEXT_STOPS_AT_NUL, IDS_INFORMATION_CAPTION,
                          MB_ICONWARNING | MB_OK);
    }
    if (text.bytesReplaced) {
        MessageBoxFromIds(MainWindow, IDS_ANSI_BYTES_REPLACED, IDS_INFORMATION_CAPTION,
                          MB_ICONWARNING | MB_OK);
    }
    return TRUE;
}

// Encodes the control's text, locked in place, and writes it to DocumentPath.
bool EncodeAndWrite(EncodingId encoding, bool bestFit) {
    const DWORD length = EditGetTextLength(EditControl);
    EditTextHandle = EditGetHandle(EditControl);
    const wchar_t* text = static_cast<const wchar_t*>(LocalLock(EditTextHandle));
    if (text == nullptr) {
        return false;
    }
    EncodedText encoded;
    const bool saved =
        EncodeText(text, length, encoding, bestFit, encoded) &&
        WriteWholeFile(DocumentPath, BytePieces(encoded.pieces, encoded.pieces[1].empty() ? 1 : 2),
                       KeptCopyPath);
    const DWORD error = GetLastError();
    LocalUnlock(EditTextHandle);
    SetLastError(error);
    return saved;
}

// The text holds characters that ANSI cannot keep: Yes saves ANSI with the closest characters,
// No saves UTF-16 LE instead, Cancel saves nothing.
int AskBeforeChangingCharacters() {
    return MessageBoxFromIds(MainWindow, IDS_ANSI_CHANGES_CHARACTERS, IDS_INFORMATION_CAPTION,
                             MB_YESNOCANCEL | MB_ICONWARNING);
}

BOOL SaveDocument() {
    WaitCursor wait;
    EncodingId encoding = CurrentEncoding;
    bool saved = EncodeAndWrite(encoding, false);
    if (!saved && encoding == kEncodingAnsi && GetLastError() == ERROR_NO_UNICODE_TRANSLATION) {
        // Asked with the text unlocked: nothing holds its address while the box is up.
        switch (AskBeforeChangingCharacters()) {
        case IDYES:
            saved = EncodeAndWrite(encoding, true);
            break;
        case IDNO:
            encoding = kEncodingUtf16Le;
            saved = EncodeAndWrite(encoding, false);
            break;
        default:
            SetLastError(ERROR_CANCELLED);
            return FALSE;
        }
    }
    if (!saved) {
        return FALSE;
    }
    if (encoding != CurrentEncoding) {
        SetCurrentEncoding(encoding);
    }
    EditSetModify(EditControl, false);
    TakeFile();
    DiscardRecovery();
    return TRUE;
}

BOOL TypeOutDocument() {
    FileText text;
    if (!ReadDocumentFile(text)) {
        return FailAndKeepFile();
    }
    const EncodingId encoding = text.encoding;
    if (!StartTyping(std::move(text.text), text.length)) {
        return FailAndKeepFile();
    }
    SetCurrentEncoding(encoding);
    EditSetModify(EditControl, false);
    TakeFile();
    DiscardRecovery();
    return TRUE;
}

UINT MessageForError(DWORD error) {
    switch (error) {
    case ERROR_NOT_ENOUGH_MEMORY:
        return IDS_OUT_OF_MEMORY;
    case ERROR_FILE_TOO_LARGE:
        return IDS_FILE_TOO_LARGE;
    case ERROR_BAD_FORMAT:
        return IDS_BAD_FORMAT;
    default:
        return IDS_FILE_ERROR;
    }
}

// The file is in doubt, and the text it should hold sits in a file of the program's.
void ShowKeptCopy() {
    wchar_t pattern[256];
    LoadLanguageString(IDS_TEXT_KEPT_IN, pattern);
    wchar_t caption[256];
    LoadLanguageString(IDS_ERROR_CAPTION, caption);
    wchar_t message[512];
    FillPercentTemplate(AsUnits(pattern), AsUnits(KeptCopyPath.c_str()), AsUnitBuffer(message));
    MessageBoxW(MainWindow, message, caption, MB_ICONERROR | MB_OK);
}

} // namespace

void AdoptFile(const wchar_t* path) {
    lstrcpynW(DocumentPath, path, MAX_PATH);
    TakeFile();
}

BOOL FileOperation(int mode) {
    lstrcpynW(OperationPath, DocumentPath, MAX_PATH);
    KeptCopyPath.clear();
    switch (mode) {
    case kFileLoad:
        return LoadDocument();
    case kFileSave:
        return SaveDocument();
    case kFileTypeOut:
        return TypeOutDocument();
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
}

void ShowFileNotFound(const wchar_t* path) {
    wchar_t pattern[256];
    LoadLanguageString(IDS_FILE_NOT_FOUND, pattern);
    wchar_t message[512];
    FillPercentTemplate(AsUnits(pattern), AsUnits(path), AsUnitBuffer(message), PercentFill::Every);
    MessageBoxW(MainWindow, message, L"Tarnwick", MB_ICONERROR | MB_OK);
}

BOOL ReportFileError(BOOL result) {
    if (result != FALSE) {
        return result;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_CANCELLED) {
        // The user chose not to go on; there is nothing to report.
        return result;
    }
    if (!KeptCopyPath.empty()) {
        ShowKeptCopy();
    } else if (error == ERROR_FILE_NOT_FOUND) {
        ShowFileNotFound(OperationPath);
    } else {
        MessageBoxFromIds(MainWindow, MessageForError(error), IDS_ERROR_CAPTION,
                          MB_ICONERROR | MB_OK);
    }
    return result;
}
