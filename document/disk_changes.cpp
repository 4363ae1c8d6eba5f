#include "document/disk_changes.h"

#include "app/main_window.h"
#include "app/window_procedure.h"
#include "document/document_path.h"
#include "document/file_commands.h"
#include "document/file_io.h"
#include "document/file_stamp.h"
#include "document/local_drive.h"
#include "document/typing.h"
#include "language/language_library.h"
#include "language/percent_template.h"
#include "language/resource_ids.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"
#include "view/status_bar.h"

#include <new>
#include <string>

std::optional<FileStamp> DocumentStamp;

namespace {

constexpr UINT kRetryMilliseconds = 500;

// The changed stamp the user was last asked about: one question for each change.
std::optional<FileStamp> AskedStamp;
// One stamp read on a network drive at a time.
bool ReadingStamp;

struct StampResult {
    std::wstring path;
    StampRead read;
    FileStamp stamp;
};

// A message box or a modal dialog of the program disables its main window; a playback would
// take the answer's keys for its own.
bool AskingOrTyping() {
    return !IsWindowEnabled(MainWindow) || TypingActive.load() != 0;
}

void CheckLater() {
    SetTimer(MainWindow, kDiskCheckTimer, kRetryMilliseconds, nullptr);
}

int AskAboutFile(UINT textId, UINT style) {
    wchar_t pattern[256];
    LoadLanguageString(textId, pattern);
    wchar_t question[512];
    FillPercentTemplate(AsUnits(pattern), AsUnits(DocumentPath), AsUnitBuffer(question));
    return MessageBoxW(MainWindow, question, L"Tarnwick", style);
}

// A file that is gone leaves the window's text as its only copy: closing must ask.
void TakeStamp(StampRead read, const FileStamp& stamp) {
    if (read == StampRead::Missing && !EditGetModify(EditControl)) {
        EditSetModify(EditControl, true);
        RefreshStatus();
    }
    if (read != StampRead::Read || stamp == *DocumentStamp || stamp == AskedStamp) {
        return;
    }
    AskedStamp = stamp;
    const bool modified = EditGetModify(EditControl);
    if (AskAboutFile(IDS_CHANGED_ON_DISK,
                     MB_YESNO | MB_ICONQUESTION | (modified ? MB_DEFBUTTON2 : MB_DEFBUTTON1)) ==
        IDYES) {
        ReloadDocument();
    }
}

DWORD WINAPI ReadStampAside(void* parameter) {
    StampResult* result = static_cast<StampResult*>(parameter);
    result->read = ReadFileStamp(result->path.c_str(), result->stamp);
    if (!PostMessageW(MainWindow, kDiskStampMessage, 0, reinterpret_cast<LPARAM>(result))) {
        delete result;
    }
    return 0;
}

// On a network drive the answer may take long: the window goes on meanwhile.
void StartReadingAside() {
    StampResult* result = new (std::nothrow) StampResult{DocumentPath, StampRead::Unknown, {}};
    if (result == nullptr) {
        return;
    }
    HANDLE thread = CreateThread(nullptr, 0, ReadStampAside, result, 0, nullptr);
    if (thread == nullptr) {
        delete result;
        return;
    }
    ReadingStamp = true;
    CloseHandle(thread);
}

} // namespace

void RecordDocumentStamp() {
    FileStamp stamp;
    SetDocumentStamp(ReadFileStamp(DocumentPath, stamp) == StampRead::Read
                         ? std::optional<FileStamp>(stamp)
                         : std::nullopt);
}

void SetDocumentStamp(std::optional<FileStamp> stamp) {
    DocumentStamp = stamp;
    AskedStamp.reset();
}

void OnApplicationActivated(bool active) {
    if (active) {
        PostMessageW(MainWindow, kDiskCheckMessage, 0, 0);
    }
}

void CheckDocumentOnDisk() {
    KillTimer(MainWindow, kDiskCheckTimer);
    if (Untitled || !DocumentStamp || ReadingStamp) {
        return;
    }
    if (AskingOrTyping()) {
        CheckLater();
        return;
    }
    if (!OnLocalFixedDrive(DocumentPath)) {
        StartReadingAside();
        return;
    }
    FileStamp stamp;
    const StampRead read = ReadFileStamp(DocumentPath, stamp);
    TakeStamp(read, stamp);
}

void OnDiskStampRead(LPARAM parameter) {
    const StampResult* result = reinterpret_cast<const StampResult*>(parameter);
    ReadingStamp = false;
    // The document may have changed meanwhile, or a question come up: then look again.
    if (!Untitled && DocumentStamp && result->path == DocumentPath) {
        if (AskingOrTyping()) {
            CheckLater();
        } else {
            TakeStamp(result->read, result->stamp);
        }
    }
    delete result;
}

SaveOverChoice AskBeforeSavingOverChanges() {
    FileStamp stamp;
    if (Untitled || !DocumentStamp || ReadFileStamp(DocumentPath, stamp) != StampRead::Read ||
        stamp == *DocumentStamp) {
        return SaveOverChoice::Save;
    }
    switch (AskAboutFile(IDS_SAVE_OVER_CHANGES, MB_YESNOCANCEL | MB_ICONWARNING)) {
    case IDYES:
        return SaveOverChoice::Save;
    case IDNO:
        return SaveOverChoice::SaveAs;
    default:
        return SaveOverChoice::Cancel;
    }
}
