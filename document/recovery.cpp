#include "document/recovery.h"

#include "app/handles.h"
#include "app/main_window.h"
#include "app/path_rules.h"
#include "app/startup.h"
#include "document/disk_changes.h"
#include "document/document_path.h"
#include "document/encoding_io.h"
#include "document/file_commands.h"
#include "document/file_io.h"
#include "document/local_drive.h"
#include "document/recovery_record.h"
#include "document/safe_write.h"
#include "document/typing.h"
#include "language/language_library.h"
#include "language/percent_template.h"
#include "language/resource_ids.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr ULONGLONG kQuietMilliseconds = 2000;
constexpr ULONGLONG kLongestWaitMilliseconds = 10000;
constexpr UINT kBusyRetryMilliseconds = 500;
// Above this a text is written only once it rests, never more often than every ten times the
// last write took, and only where the drive has room for it twice and this margin besides.
constexpr SIZE_T kLargeTextBytes = 16u << 20;
constexpr ULONGLONG kRoomMargin = 64ull << 20;

// The recovery file of this copy; empty until a folder for it was found.
std::wstring OwnPath;
// Raised whenever the document stops being modified: a write begun before is not kept.
std::atomic<unsigned> Generation{0};
HANDLE Writer;
std::atomic<ULONGLONG> LastWriteMilliseconds{0};
ULONGLONG LastWriteStart;
// When the first change not yet written came, and the last change; 0 when none waits.
ULONGLONG FirstUnwrittenChange;
ULONGLONG LastChange;

struct RecoveryJob {
    unsigned generation;
    std::wstring path;
    RecoveryHeader header;
    BYTE* text;
    SIZE_T bytes;
};

RecoveryOwner OwnOwner() {
    FILETIME created{}, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return {GetCurrentProcessId(),
            ULARGE_INTEGER{{created.dwLowDateTime, created.dwHighDateTime}}.QuadPart};
}

std::wstring OwnName() {
    const std::u16string name = RecoveryFileName(OwnOwner());
    return std::wstring(AsWide(name), name.size());
}

// A process of that id that started at that time is still running; a process that exists but
// may not be asked about counts as running.
bool OwnerRunning(const RecoveryOwner& owner) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, owner.process);
    if (process == nullptr) {
        return GetLastError() != ERROR_INVALID_PARAMETER;
    }
    FILETIME created{}, exited, kernel, user;
    DWORD code = 0;
    const bool running =
        GetProcessTimes(process, &created, &exited, &kernel, &user) &&
        ULARGE_INTEGER{{created.dwLowDateTime, created.dwHighDateTime}}.QuadPart == owner.started &&
        (!GetExitCodeProcess(process, &code) || code == STILL_ACTIVE);
    CloseHandle(process);
    return running;
}

std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.rfind(L'\\') + 1);
}

// "Recovery" beside the settings file, and the one in the user's local application data.
std::wstring FolderBesideSettings() {
    const std::wstring folder = FolderOf(IniPath);
    return folder.empty() ? folder : folder + L"Recovery\\";
}

std::wstring FolderInLocalAppData() {
    wchar_t base[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", base, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::wstring()
                                             : std::wstring(base) + L"\\Tarnwick\\Recovery\\";
}

// The folder and the one above it, made where missing; true when a file can be made there.
bool MakeWritableFolder(const std::wstring& folder) {
    if (folder.empty()) {
        return false;
    }
    CreateDirectoryW(FolderOf(folder.substr(0, folder.size() - 1)).c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    UniqueFile probe(CreateFileW((folder + OwnName() + L".probe").c_str(), GENERIC_WRITE, 0,
                                 nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return static_cast<bool>(probe);
}

// Beside the settings file where that is a disk of this computer and can be written; else in
// the user's local application data.
std::wstring ChooseOwnPath() {
    const std::wstring beside = FolderBesideSettings();
    if (!beside.empty() && OnLocalFixedDrive(IniPath) && MakeWritableFolder(beside)) {
        return beside + OwnName();
    }
    const std::wstring local = FolderInLocalAppData();
    return MakeWritableFolder(local) ? local + OwnName() : std::wstring();
}

SIZE_T TextBytes() {
    return SIZE_T{EditGetTextLength(EditControl)} * sizeof(wchar_t);
}

bool RoomFor(SIZE_T bytes) {
    ULARGE_INTEGER available{};
    return GetDiskFreeSpaceExW(FolderOf(OwnPath).c_str(), &available, nullptr, nullptr) &&
           available.QuadPart >= 2 * ULONGLONG{bytes} + kRoomMargin;
}

void Arm(ULONGLONG milliseconds) {
    SetTimer(MainWindow, kRecoveryTimer, static_cast<UINT>(std::max<ULONGLONG>(milliseconds, 1)),
             nullptr);
}

void WaitForWriter() {
    if (Writer != nullptr) {
        WaitForSingleObject(Writer, INFINITE);
        CloseHandle(Writer);
        Writer = nullptr;
    }
}

DWORD WINAPI WriteRecoveryFile(void* parameter) {
    const std::unique_ptr<RecoveryJob> job(static_cast<RecoveryJob*>(parameter));
    const ULONGLONG start = GetTickCount64();
    try {
        const std::span<const BYTE> text(job->text, job->bytes);
        const std::vector<std::uint8_t> head = RecoveryFileHead(job->header, text);
        const std::span<const BYTE> pieces[] = {head, text};
        // Another copy ending may have removed the emptied folder.
        CreateDirectoryW(FolderOf(job->path).c_str(), nullptr);
        std::wstring kept;
        if (job->generation == Generation.load()) {
            (void)WriteWholeFile(job->path.c_str(), pieces, kept);
        }
    } catch (const std::bad_alloc&) {
        // Tried again at the next change.
    }
    LastWriteMilliseconds.store(GetTickCount64() - start);
    HeapFree(GetProcessHeap(), 0, job->text);
    return 0;
}

// The text is copied here, on the window thread; encoding and writing it is the writer's work.
void StartWrite() {
    if (OwnPath.empty()) {
        OwnPath = ChooseOwnPath();
        if (OwnPath.empty()) {
            return;
        }
    }
    std::unique_ptr<RecoveryJob> job(new (std::nothrow) RecoveryJob{
        Generation.load(),
        OwnPath,
        {std::u16string(AsUnits(IniPath)),
         Untitled ? std::u16string() : std::u16string(AsUnits(DocumentPath)), DocumentStamp,
         static_cast<std::uint32_t>(CurrentEncoding)},
        nullptr,
        0});
    if (!job) {
        return;
    }
    job->text = CopyTextForRecovery(job->bytes);
    if (job->text == nullptr) {
        return;
    }
    Writer = CreateThread(nullptr, 0, WriteRecoveryFile, job.get(), 0, nullptr);
    if (Writer == nullptr) {
        HeapFree(GetProcessHeap(), 0, job->text);
        return;
    }
    (void)job.release();
    LastWriteStart = GetTickCount64();
}

// Paths compare as full, long names without regard to case.
std::wstring NormalPath(const std::wstring& path) {
    wchar_t full[MAX_PATH];
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) {
        return path;
    }
    wchar_t longer[MAX_PATH];
    const DWORD longLength = GetLongPathNameW(full, longer, MAX_PATH);
    return longLength > 0 && longLength < MAX_PATH ? longer : full;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    const std::wstring x = NormalPath(a);
    const std::wstring y = NormalPath(b);
    return CompareStringOrdinal(x.c_str(), static_cast<int>(x.size()), y.c_str(),
                                static_cast<int>(y.size()), TRUE) == CSTR_EQUAL;
}

struct Candidate {
    std::wstring path;
    ULONGLONG written;
};

// The recovery files of copies no longer running, newest first.
std::vector<Candidate> EndedCopiesFiles() {
    std::vector<Candidate> found;
    const RecoveryOwner own = OwnOwner();
    for (const std::wstring& folder : {FolderBesideSettings(), FolderInLocalAppData()}) {
        if (folder.empty()) {
            continue;
        }
        WIN32_FIND_DATAW entry;
        HANDLE search =
            FindFirstFileW((folder + AsWide(UnitView(kRecoveryFilePattern))).c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE) {
            continue;
        }
        do {
            const auto owner = RecoveryFileOwner(AsUnits(entry.cFileName));
            if (owner && *owner != own &&
                (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && !OwnerRunning(*owner)) {
                found.push_back({folder + entry.cFileName,
                                 ULARGE_INTEGER{{entry.ftLastWriteTime.dwLowDateTime,
                                                 entry.ftLastWriteTime.dwHighDateTime}}
                                     .QuadPart});
            }
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    std::sort(found.begin(), found.end(),
              [](const Candidate& a, const Candidate& b) { return a.written > b.written; });
    return found;
}

bool ReadWholeFile(const std::wstring& path, std::vector<std::uint8_t>& bytes) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7FFFFFFFll * 2 + 4096) {
        return false;
    }
    try {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 26));
        DWORD read = 0;
        if (!ReadFile(file.Get(), bytes.data() + done, want, &read, nullptr) || read == 0) {
            return false;
        }
        done += read;
    }
    return true;
}

// The recovered text becomes the document, modified, with its file's name, encoding and stamp.
bool TakeBack(const RecoveredText& recovered) {
    MovableBlock block(recovered.text.size() + sizeof(wchar_t));
    {
        const LockedBlock locked(block.Get());
        if (!locked) {
            return false;
        }
        CopyMemory(locked.As(), recovered.text.data(), recovered.text.size());
    }
    GiveTextBlock(block.Release());
    const std::u16string& path = recovered.header.documentPath;
    RestoreDocument(path.empty() ? nullptr : AsWide(path),
                    recovered.header.encoding == kEncodingUtf16Le ? kEncodingUtf16Le
                                                                  : kEncodingAnsi,
                    recovered.header.stamp);
    return true;
}

int AskToRestore(const std::u16string& path) {
    wchar_t pattern[256];
    LoadLanguageString(IDS_RESTORE_QUESTION, pattern);
    wchar_t untitled[256];
    LoadLanguageString(IDS_UNTITLED, untitled);
    wchar_t question[512];
    FillPercentTemplate(AsUnits(pattern), path.empty() ? AsUnits(untitled) : UnitView(path),
                        AsUnitBuffer(question));
    return MessageBoxW(MainWindow, question, L"Tarnwick", MB_YESNO | MB_ICONQUESTION);
}

enum class Offered { Restored, Declined, TakenByAnother };

// Taken over first (renamed to this copy's name), so that copies started together never offer
// one text twice: a file gone meanwhile was taken by another copy. A file that cannot be taken
// otherwise is offered all the same, and left on No.
Offered Offer(const std::wstring& path, const RecoveredText& recovered) {
    const std::wstring taken = FolderOf(path) + OwnName();
    const bool took = MoveFileExW(path.c_str(), taken.c_str(), 0) != FALSE;
    if (took) {
        OwnPath = taken;
    } else if (GetLastError() == ERROR_FILE_NOT_FOUND) {
        return Offered::TakenByAnother;
    }
    if (AskToRestore(recovered.header.documentPath) != IDYES) {
        if (took) {
            DeleteFileW(taken.c_str());
        }
        return Offered::Declined;
    }
    if (!TakeBack(recovered)) {
        // No memory for the text: it waits for a later start.
        if (took && MoveFileExW(taken.c_str(), path.c_str(), 0)) {
            OwnPath.clear();
        }
        return Offered::Declined;
    }
    if (!took) {
        DeleteFileW(path.c_str());
    }
    NoteRecoveryChange();
    return Offered::Restored;
}

} // namespace

BYTE* CopyTextForRecovery(SIZE_T& bytes) {
    const LockedBlock locked(EditGetHandle(EditControl));
    if (!locked) {
        return nullptr;
    }
    bytes = TextBytes();
    BYTE* copy = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, std::max<SIZE_T>(bytes, 1)));
    if (copy != nullptr) {
        CopyMemory(copy, locked.As(), bytes);
    }
    return copy;
}

void NoteRecoveryChange() {
    if (TypingActive.load() != 0 || !EditGetModify(EditControl)) {
        return;
    }
    const ULONGLONG now = GetTickCount64();
    if (FirstUnwrittenChange == 0) {
        FirstUnwrittenChange = now;
    }
    LastChange = now;
    ULONGLONG wait = kQuietMilliseconds;
    if (TextBytes() <= kLargeTextBytes) {
        const ULONGLONG due = FirstUnwrittenChange + kLongestWaitMilliseconds;
        wait = std::min(wait, due > now ? due - now : 0);
    }
    Arm(wait);
}

void OnRecoveryTimer() {
    KillTimer(MainWindow, kRecoveryTimer);
    if (!EditGetModify(EditControl)) {
        DiscardRecovery();
        return;
    }
    if (TypingActive.load() != 0) {
        return;
    }
    if (Writer != nullptr && WaitForSingleObject(Writer, 0) == WAIT_TIMEOUT) {
        Arm(kBusyRetryMilliseconds);
        return;
    }
    WaitForWriter();
    const ULONGLONG now = GetTickCount64();
    const SIZE_T bytes = TextBytes();
    if (bytes > kLargeTextBytes) {
        const ULONGLONG spacing = 10 * LastWriteMilliseconds.load();
        if (now - LastChange < kQuietMilliseconds) {
            Arm(kQuietMilliseconds - (now - LastChange));
            return;
        }
        if (LastWriteStart != 0 && now - LastWriteStart < spacing) {
            Arm(spacing - (now - LastWriteStart));
            return;
        }
        if (!OwnPath.empty() && !RoomFor(bytes)) {
            FirstUnwrittenChange = 0;
            return;
        }
    }
    FirstUnwrittenChange = 0;
    StartWrite();
}

void DiscardRecovery() {
    ++Generation;
    KillTimer(MainWindow, kRecoveryTimer);
    FirstUnwrittenChange = 0;
    WaitForWriter();
    if (!OwnPath.empty()) {
        DeleteFileW(OwnPath.c_str());
    }
}

void EndRecovery() {
    DiscardRecovery();
    // Only an empty folder goes: other copies' files stay.
    if (!OwnPath.empty()) {
        RemoveDirectoryW(FolderOf(OwnPath).c_str());
    }
}

bool RestoreRecoveredText() {
    const bool named = DocumentPath[0] != L'\0';
    for (const Candidate& candidate : EndedCopiesFiles()) {
        std::vector<std::uint8_t> bytes;
        if (!ReadWholeFile(candidate.path, bytes)) {
            continue;
        }
        const std::optional<RecoveredText> recovered = ReadRecoveryFile(bytes);
        if (!recovered) {
            DeleteFileW(candidate.path.c_str());
            continue;
        }
        const std::u16string& path = recovered->header.documentPath;
        if (path.size() >= MAX_PATH || !SamePath(AsWide(recovered->header.settingsPath), IniPath) ||
            (named && (path.empty() || !SamePath(AsWide(path), DocumentPath)))) {
            continue;
        }
        // One question for each start.
        const Offered offered = Offer(candidate.path, *recovered);
        if (offered != Offered::TakenByAnother) {
            return offered == Offered::Restored;
        }
    }
    return false;
}
