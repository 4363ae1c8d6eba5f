#include "document/file_commands.h"

#include "app/main_window.h"
#include "app/settings.h"
#include "document/disk_changes.h"
#include "document/document_path.h"
#include "document/document_title.h"
#include "document/encoding_io.h"
#include "document/file_io.h"
#include "document/recovery.h"
#include "document/recent_files.h"
#include "document/system_recent.h"
#include "document/typing.h"
#include "language/language_library.h"
#include "language/message_box.h"
#include "language/percent_template.h"
#include "language/resource_ids.h"
#include "search/replace_all.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"
#include "view/status_bar.h"

#include <commdlg.h>

#include <string>

namespace {

constexpr DWORD kOpenFlags =
    OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
constexpr DWORD kSaveAsFlags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
constexpr SIZE_T kNewDocumentBytes = 65536;

OPENFILENAMEW FileDialogRecord;
wchar_t FileFilter[128];

// DocumentPath is also the file dialogs' buffer, which they write even when they fail (a name
// too long leaves the size it needs there). The path is kept aside and put back unless the
// command's file operation succeeded, so the title, the path and the next Save agree.
class DocumentPathKeeper {
  public:
    DocumentPathKeeper() { lstrcpynW(kept_, DocumentPath, MAX_PATH); }
    ~DocumentPathKeeper() {
        if (!succeeded_) {
            lstrcpynW(DocumentPath, kept_, MAX_PATH);
        }
    }
    DocumentPathKeeper(const DocumentPathKeeper&) = delete;
    DocumentPathKeeper& operator=(const DocumentPathKeeper&) = delete;

    bool Succeeded(bool result) {
        succeeded_ = result;
        return result;
    }

  private:
    wchar_t kept_[MAX_PATH];
    bool succeeded_ = false;
};

// The file dialogs change the process's current folder on Windows, whatever their flags say
// (OFN_NOCHANGEDIR does not hold for the Open dialog); it is kept aside and put back.
class CurrentFolderKeeper {
  public:
    CurrentFolderKeeper() {
        const DWORD length = GetCurrentDirectoryW(0, nullptr);
        kept_.resize(length);
        if (length == 0 || GetCurrentDirectoryW(length, kept_.data()) != length - 1) {
            kept_.clear();
        }
    }
    ~CurrentFolderKeeper() {
        if (!kept_.empty()) {
            SetCurrentDirectoryW(kept_.c_str());
        }
    }
    CurrentFolderKeeper(const CurrentFolderKeeper&) = delete;
    CurrentFolderKeeper& operator=(const CurrentFolderKeeper&) = delete;

  private:
    std::wstring kept_;
};

bool ShowSaveAsDialog() {
    const CurrentFolderKeeper folder;
    FileDialogRecord.Flags = kSaveAsFlags;
    return GetSaveFileNameW(&FileDialogRecord) != FALSE;
}

void FocusEditor() {
    SetFocus(EditControl);
}

// The document becomes a new one: its name, its encoding and a status showing its start.
void StartUntitledDocument() {
    wchar_t untitled[256];
    LoadLanguageString(IDS_UNTITLED, untitled);
    SetDocumentTitle(untitled);
    Untitled = 1;
    SetDocumentStamp(std::nullopt);
    SetCurrentEncoding(static_cast<EncodingId>(Setting(IntKey::NewFileType)));
    RefreshStatus();
    SetStatusText(kStatusPartCharacter, L" ");
}

bool SaveAsWithDialog() {
    DocumentPathKeeper path;
    if (!ShowSaveAsDialog() ||
        !path.Succeeded(ReportFileError(FileOperation(kFileSave)) != FALSE)) {
        return false;
    }
    AddToRecentFiles();
    TitleFromDocumentPath();
    return true;
}

bool OpenWithDialog() {
    const CurrentFolderKeeper folder;
    FileDialogRecord.Flags = kOpenFlags;
    return GetOpenFileNameW(&FileDialogRecord) != FALSE;
}

} // namespace

bool AskSaveChanges() {
    // A playback still typing would go on into the next document and then mark it unmodified.
    StopTyping();
    if (!EditGetModify(EditControl)) {
        return true;
    }
    wchar_t pattern[256];
    LoadLanguageString(IDS_ASK_SAVE_CHANGES, pattern);
    wchar_t untitled[256];
    LoadLanguageString(IDS_UNTITLED, untitled);
    wchar_t question[512];
    FillPercentTemplate(AsUnits(pattern), AsUnits(Untitled ? untitled : DocumentPath),
                        AsUnitBuffer(question), PercentFill::Every);
    switch (MessageBoxW(MainWindow, question, L"Tarnwick", MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDYES:
        return SaveCurrentDocument();
    case IDNO:
        return true;
    default:
        FocusEditor();
        return false;
    }
}

void InitFileDialog(HWND owner) {
    // The pairs of the filter are separated by NULs inside the string; the copy keeps them and
    // the zero-filled rest of the buffer ends the list.
    LoadLanguageString(IDS_FILE_FILTER, FileFilter);
    FileFilter[ARRAYSIZE(FileFilter) - 2] = L'\0';
    FileDialogRecord.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    FileDialogRecord.hwndOwner = owner;
    FileDialogRecord.hInstance = GetModuleHandleW(nullptr);
    FileDialogRecord.lpstrFilter = FileFilter;
    FileDialogRecord.lpstrFile = DocumentPath;
    FileDialogRecord.nMaxFile = MAX_PATH;
    FileDialogRecord.lpstrDefExt = L"txt";
}

void NewDocument() {
    if (!AskSaveChanges()) {
        return;
    }
    HLOCAL block = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, kNewDocumentBytes);
    if (block != nullptr) {
        GiveTextBlock(block);
    } else {
        // Without a new block the control empties its own.
        EditSetText(EditControl, L"");
    }
    DropReplaceAllCopy();
    StartUntitledDocument();
    DiscardRecovery();
    FocusEditor();
}

bool OpenNamedFile() {
    if (!ReportFileError(FileOperation(kFileLoad))) {
        return false;
    }
    AddToRecentFiles();
    TitleFromDocumentPath();
    AddToSystemRecentDocuments(DocumentPath);
    return true;
}

bool OpenCommandLineFile() {
    if (!ReportFileError(FileOperation(kFileLoad))) {
        return false;
    }
    TitleFromDocumentPath();
    return true;
}

void OpenDocument() {
    if (AskSaveChanges()) {
        DocumentPathKeeper path;
        path.Succeeded(OpenWithDialog() && OpenNamedFile());
    }
    FocusEditor();
}

void OpenPathAfterAsking(const wchar_t* path) {
    if (AskSaveChanges()) {
        DocumentPathKeeper kept;
        lstrcpynW(DocumentPath, path, MAX_PATH);
        kept.Succeeded(OpenNamedFile());
    }
    FocusEditor();
}

bool SaveCurrentDocument() {
    if (Untitled) {
        return SaveAsWithDialog();
    }
    switch (AskBeforeSavingOverChanges()) {
    case SaveOverChoice::SaveAs:
        return SaveAsWithDialog();
    case SaveOverChoice::Cancel:
        FocusEditor();
        return false;
    case SaveOverChoice::Save:
        break;
    }
    if (!ReportFileError(FileOperation(kFileSave))) {
        return false;
    }
    TitleFromDocumentPath();
    return true;
}

void ReloadDocument() {
    if (ReportFileError(FileOperation(kFileLoad))) {
        TitleFromDocumentPath();
    }
    FocusEditor();
}

void RestoreDocument(const wchar_t* path, EncodingId encoding, std::optional<FileStamp> stamp) {
    DropReplaceAllCopy();
    if (path == nullptr) {
        StartUntitledDocument();
    } else {
        AdoptFile(path);
        TitleFromDocumentPath();
    }
    SetCurrentEncoding(encoding);
    SetDocumentStamp(stamp);
    EditSetModify(EditControl, true);
    RefreshStatus();
}

// A playback still typing is stopped first, so that the file gets what the window shows.
void SaveDocument() {
    StopTyping();
    SaveCurrentDocument();
    FocusEditor();
}

void SaveDocumentAs() {
    StopTyping();
    SaveAsWithDialog();
}

void TypeOutDocument() {
    if (AskSaveChanges()) {
        DocumentPathKeeper path;
        if (OpenWithDialog()) {
            SetWindowTextW(EditControl, L"");
            DropReplaceAllCopy();
            if (path.Succeeded(ReportFileError(FileOperation(kFileTypeOut)) != FALSE)) {
                AddToRecentFiles();
                TitleFromDocumentPath();
            } else {
                // The text is gone: as a new document a later Save cannot write the empty
                // text over the file it had.
                StartUntitledDocument();
            }
            RefreshStatus();
        }
    }
    FocusEditor();
}

void OpenDroppedFiles(HDROP drop) {
    // A name that does not fit is refused whole: a cut one could name another file.
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    wchar_t path[MAX_PATH];
    if (length >= MAX_PATH) {
        MessageBoxFromIds(MainWindow, IDS_NAME_TOO_LONG, IDS_INFORMATION_CAPTION,
                          MB_OK | MB_ICONWARNING);
    } else if (length > 0 && DragQueryFileW(drop, 0, path, MAX_PATH) == length) {
        OpenPathAfterAsking(path);
    }
    DragFinish(drop);
    FocusEditor();
}
