#include "document/file_commands.h"

#include "app/main_window.h"
#include "app/settings.h"
#include "document/document_path.h"
#include "document/encoding_io.h"
#include "document/file_io.h"
#include "document/recent_files.h"
#include "document/system_recent.h"
#include "document/typing.h"
#include "language/language_library.h"
#include "language/percent_template.h"
#include "language/resource_ids.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"
#include "view/status_bar.h"

#include <commdlg.h>


int SaveAsAccepted = 1;

namespace {

constexpr DWORD kOpenFlags =
    OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
constexpr DWORD kSaveAsFlags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
constexpr SIZE_T kNewDocumentBytes = 65536;

// "* " and the title; the mark is shown in front of the title while the text is modified.
wchar_t TitleBuffer[270] = L"* ";
OPENFILENAMEW FileDialogRecord;
wchar_t FileFilter[128];

// The characters after the last backslash, or the whole path.
const wchar_t* FileNamePart(const wchar_t* path) {
    const wchar_t* name = path;
    for (const wchar_t* p = path; *p != L'\0'; ++p) {
        if (*p == L'\\') {
            name = p + 1;
        }
    }
    return name;
}

void TitleFromDocumentPath() {
    SetDocumentTitle(FileNamePart(DocumentPath));
}

void FocusEditor() {
    SetFocus(EditControl);
}

} // namespace

const wchar_t* DocumentTitle() {
    return TitleBuffer + 2;
}

const wchar_t* MarkedDocumentTitle() {
    return TitleBuffer;
}

void SetDocumentTitle(const wchar_t* name) {
    wchar_t title[268];
    FillPercentTemplate(u"Tarnwick - %", AsUnits(name), AsUnitBuffer(title));
    lstrcpynW(TitleBuffer + 2, title, ARRAYSIZE(TitleBuffer) - 2);
    SetWindowTextW(MainWindow, DocumentTitle());
}

bool AskSaveChanges() {
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
        SendMessageW(MainWindow, WM_COMMAND, IDM_FILE_SAVE, 0);
        if (SaveAsAccepted == 0) {
            SaveAsAccepted = 1;
            return false;
        }
        return true;
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
        HLOCAL previous = EditGetHandle(EditControl);
        EditSetHandle(EditControl, block);
        LocalFree(previous);
        EditTextHandle = block;
    } else {
        // Without a new block the control empties its own.
        EditSetText(EditControl, L"");
    }
    wchar_t untitled[256];
    LoadLanguageString(IDS_UNTITLED, untitled);
    SetDocumentTitle(untitled);
    FocusEditor();
    Untitled = 1;
    SetCurrentEncoding(static_cast<EncodingId>(Setting(IntKey::NewFileType)));
    SetStatusText(kStatusPartCharacter, L" ");
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
        FileDialogRecord.Flags = kOpenFlags;
        if (GetOpenFileNameW(&FileDialogRecord)) {
            OpenNamedFile();
        }
    }
    FocusEditor();
}

void SaveDocument() {
    if (Untitled) {
        SendMessageW(MainWindow, WM_COMMAND, IDM_FILE_SAVE_AS, 0);
    } else if (ReportFileError(FileOperation(kFileSave))) {
        TitleFromDocumentPath();
    }
    FocusEditor();
}

void SaveDocumentAs() {
    FileDialogRecord.Flags = kSaveAsFlags;
    SaveAsAccepted = GetSaveFileNameW(&FileDialogRecord) ? 1 : 0;
    if (SaveAsAccepted == 0 || !ReportFileError(FileOperation(kFileSave))) {
        return;
    }
    AddToRecentFiles();
    TitleFromDocumentPath();
}

void TypeOutDocument() {
    if (AskSaveChanges()) {
        FileDialogRecord.Flags = kOpenFlags;
        if (GetOpenFileNameW(&FileDialogRecord)) {
            SetWindowTextW(EditControl, L"");
            if (ReportFileError(FileOperation(kFileTypeOut))) {
                AddToRecentFiles();
                TitleFromDocumentPath();
            }
        }
    }
    FocusEditor();
}

void OpenDroppedFiles(HDROP drop) {
    if (AskSaveChanges()) {
        DragQueryFileW(drop, 0, DocumentPath, MAX_PATH);
        OpenNamedFile();
    }
    DragFinish(drop);
    FocusEditor();
}
