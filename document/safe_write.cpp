#include "document/safe_write.h"

#include "app/handles.h"
#include "app/path_rules.h"
#include "document/local_drive.h"
#include "document/save_files.h"

#include <memory>
#include <new>
#include <string>

namespace {

constexpr std::size_t kChunk = 64u << 20;
constexpr std::size_t kCopyChunk = 1u << 20;
// "twk", a process id and a count of up to ten digits each, and the dash between them.
constexpr std::size_t kLongestSaveFilePrefix = 3 + 10 + 1 + 10;

// Any failure or short count is a failure. (A full disk can give a short count with success.)
bool WriteAll(HANDLE file, std::span<const BYTE> bytes) {
    while (!bytes.empty()) {
        const DWORD want = static_cast<DWORD>(std::min(bytes.size(), kChunk));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), want, &written, nullptr)) {
            return false;
        }
        if (written != want) {
            SetLastError(ERROR_DISK_FULL);
            return false;
        }
        bytes = bytes.subspan(want);
    }
    return true;
}

// Every piece, then the end of the file after them, flushed.
bool WritePiecesFromStart(HANDLE file, BytePieces pieces) {
    if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) {
        return false;
    }
    for (std::span<const BYTE> piece : pieces) {
        if (!WriteAll(file, piece)) {
            return false;
        }
    }
    return SetEndOfFile(file) && FlushFileBuffers(file);
}

// The whole content of one file into another, from their starts, flushed.
bool CopyContent(HANDLE from, HANDLE to) {
    const std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[kCopyChunk]);
    if (!buffer) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    if (SetFilePointer(from, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
        SetFilePointer(to, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) {
        return false;
    }
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(from, buffer.get(), kCopyChunk, &read, nullptr)) {
            return false;
        }
        if (read == 0) {
            return SetEndOfFile(to) && FlushFileBuffers(to);
        }
        if (!WriteAll(to, {buffer.get(), read})) {
            return false;
        }
    }
}

// The error that ends an attempt, kept across the clean-up calls that follow it.
class ErrorKeeper {
  public:
    ErrorKeeper() : error_(GetLastError()) {}
    ~ErrorKeeper() { SetLastError(error_); }
    ErrorKeeper(const ErrorKeeper&) = delete;
    ErrorKeeper& operator=(const ErrorKeeper&) = delete;

  private:
    DWORD error_;
};

std::wstring FolderOf(const wchar_t* path) {
    wchar_t folder[MAX_PATH];
    if (!GetFolderOfPath(AsUnitBuffer(folder), AsUnits(path)) || folder[0] == L'\0') {
        return L".\\";
    }
    return folder;
}

const wchar_t* FileNameOf(const wchar_t* path) {
    const wchar_t* name = wcsrchr(path, L'\\');
    return name != nullptr ? name + 1 : path;
}

// A new, empty file of this process in the folder, "twk<process id>-<n>" and the tail, open
// for writing in file; its path, or empty when none can be made there.
std::wstring NewSaveFile(const std::wstring& folder, const std::wstring& tail, UniqueFile& file) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        wchar_t name[32];
        wsprintfW(name, L"twk%lu-%u", GetCurrentProcessId(), ++counter);
        const std::wstring path = folder + name + tail;
        if (path.size() >= MAX_PATH) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            return {};
        }
        file.Reset(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            return path;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) {
            return {};
        }
    }
    return {};
}

// A new-content file names its target, so that a later sweep can tell whether the text it
// holds is still in its place; where the name would not fit, it names none and is never swept.
std::wstring NewContentTail(const std::wstring& folder, const wchar_t* path) {
    std::wstring tail = std::wstring(L"~") + FileNameOf(path) + L".tmp";
    return folder.size() + kLongestSaveFilePrefix + tail.size() < MAX_PATH ? tail : L".tmp";
}

// Only a missing file or folder counts: any other failure to look may hide a file.
bool IsMissing(const std::wstring& path) {
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsRunning(DWORD process) {
    HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
    if (handle == nullptr) {
        // A process that exists but may not be asked about counts as running.
        return GetLastError() != ERROR_INVALID_PARAMETER;
    }
    DWORD code = 0;
    const bool running = !GetExitCodeProcess(handle, &code) || code == STILL_ACTIVE;
    CloseHandle(handle);
    return running;
}

// The new-content files that saves of copies no longer running left in the folder when they
// were ended half-way, where the file they were meant for is there: it holds its old or its
// new content, so they hold nothing else. A leftover whose file is missing may hold the only
// copy of a text, and backups may hold the only old content: those stay. Process ids are this
// computer's, so only folders on its own disks are swept: on a share another computer's
// running copy would look ended.
void RemoveLeftovers(const std::wstring& folder) {
    if (!OnLocalFixedDrive(folder.c_str())) {
        return;
    }
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + AsWide(UnitView(kNewContentPattern))).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::optional<NewContentName> name = ReadNewContentName(AsUnits(found.cFileName));
        if (name && !name->target.empty() &&
            (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            name->process != GetCurrentProcessId() && !IsRunning(name->process) &&
            IsFile(folder + std::wstring(AsWide(name->target), name->target.size()))) {
            DeleteFileW((folder + found.cFileName).c_str());
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

enum class SwapResult {
    Swapped,
    // The target holds its old content and the new-content file is gone.
    Refused,
    // The target may be missing: the new content stays in its file, named in keptCopy.
    Kept,
};

// A swap that failed half-way may have taken the target away (ERROR_UNABLE_TO_MOVE_REPLACEMENT,
// or the target moved aside). The new content then goes into the target's name, though never
// over a file that appeared there meanwhile; failing that, it stays where it is.
SwapResult AfterFailedSwap(const wchar_t* path, const std::wstring& replacement,
                           std::wstring& keptCopy) {
    const DWORD error = GetLastError();
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT || IsMissing(path)) {
        if (MoveFileExW(replacement.c_str(), path, MOVEFILE_WRITE_THROUGH)) {
            return SwapResult::Swapped;
        }
        keptCopy = replacement;
        SetLastError(error);
        return SwapResult::Kept;
    }
    DeleteFileW(replacement.c_str());
    SetLastError(error);
    return SwapResult::Refused;
}

// The new content in a file of its own beside the target, swapped in at once: killed at any
// moment, the target holds its old or its new content. (A backup name would make the swap two
// renames, with a moment when the target is missing. Wine's ReplaceFileW has that moment even
// without one: it moves the old file aside and deletes it before renaming the new one in.)
SwapResult ReplaceThroughNewFile(const wchar_t* path, const std::wstring& folder, BytePieces pieces,
                                 std::wstring& keptCopy) {
    UniqueFile file;
    const std::wstring replacement = NewSaveFile(folder, NewContentTail(folder, path), file);
    if (replacement.empty()) {
        return SwapResult::Refused;
    }
    if (!WritePiecesFromStart(file.Get(), pieces) || !file.Close()) {
        ErrorKeeper keep;
        file.Close();
        DeleteFileW(replacement.c_str());
        return SwapResult::Refused;
    }
    if (ReplaceFileW(path, replacement.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                     nullptr)) {
        return SwapResult::Swapped;
    }
    return AfterFailedSwap(path, replacement, keptCopy);
}

// A file of this process for the old content, beside the file or else in the temporary folder.
std::wstring NewBackupFile(const std::wstring& folder, UniqueFile& file) {
    std::wstring backup = NewSaveFile(folder, L".bak", file);
    if (backup.empty()) {
        wchar_t temp[MAX_PATH];
        const DWORD length = GetTempPathW(MAX_PATH, temp);
        if (length > 0 && length < MAX_PATH) {
            backup = NewSaveFile(temp, L".bak", file);
        }
    }
    return backup;
}

// The old content copied aside, then the new content written into the file itself (which keeps
// its names, attributes and streams) and cut to its length; should that fail, the old content
// goes back through the same handle, and where even that fails it stays in the backup, named
// in keptCopy.
bool ReplaceInPlace(const wchar_t* path, const std::wstring& folder, BytePieces pieces,
                    std::wstring& keptCopy) {
    UniqueFile target(CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!target) {
        return false;
    }
    UniqueFile backupFile;
    const std::wstring backup = NewBackupFile(folder, backupFile);
    if (backup.empty()) {
        return false;
    }
    if (!CopyContent(target.Get(), backupFile.Get())) {
        ErrorKeeper keep;
        backupFile.Close();
        DeleteFileW(backup.c_str());
        return false;
    }
    if (WritePiecesFromStart(target.Get(), pieces) && target.Close()) {
        backupFile.Close();
        DeleteFileW(backup.c_str());
        return true;
    }
    ErrorKeeper keep;
    if (CopyContent(backupFile.Get(), target.Get()) && target.Close()) {
        backupFile.Close();
        DeleteFileW(backup.c_str());
    } else {
        keptCopy = backup;
    }
    return false;
}

// A file that did not exist before the save: a failed write leaves nothing behind.
bool WriteCreatedFile(const wchar_t* path, UniqueFile& file, BytePieces pieces) {
    if (WritePiecesFromStart(file.Get(), pieces) && file.Close()) {
        return true;
    }
    ErrorKeeper keep;
    file.Close();
    DeleteFileW(path);
    return false;
}

} // namespace

bool WriteWholeFile(const wchar_t* path, BytePieces pieces, std::wstring& keptCopy) {
    keptCopy.clear();
    UniqueFile probe(CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe) {
        return false;
    }
    const std::wstring folder = FolderOf(path);
    bool written = false;
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
        written = WriteCreatedFile(path, probe, pieces);
    } else {
        BY_HANDLE_FILE_INFORMATION information;
        const DWORD links =
            GetFileInformationByHandle(probe.Get(), &information) ? information.nNumberOfLinks : 1;
        probe.Close();
        // A file with several names must be written in place, or its other names would keep
        // the old content.
        const SwapResult swap = links <= 1 ? ReplaceThroughNewFile(path, folder, pieces, keptCopy)
                                           : SwapResult::Refused;
        written = swap == SwapResult::Swapped ||
                  (swap == SwapResult::Refused && ReplaceInPlace(path, folder, pieces, keptCopy));
    }
    if (written) {
        RemoveLeftovers(folder);
    }
    return written;
}
