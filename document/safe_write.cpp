#include "document/safe_write.h"

#include "app/handles.h"
#include "app/path_rules.h"
#include "document/save_files.h"

#include <string>

namespace {

// Writes every piece and flushes; any failure or short count is a failure. (A full disk can
// give a short count with success.)
bool WritePieces(HANDLE file, BytePieces pieces) {
    constexpr std::size_t kChunk = 64u << 20;
    for (std::span<const BYTE> piece : pieces) {
        while (!piece.empty()) {
            const DWORD want = static_cast<DWORD>(std::min(piece.size(), kChunk));
            DWORD written = 0;
            if (!WriteFile(file, piece.data(), want, &written, nullptr)) {
                return false;
            }
            if (written != want) {
                SetLastError(ERROR_DISK_FULL);
                return false;
            }
            piece = piece.subspan(want);
        }
    }
    return FlushFileBuffers(file) != FALSE;
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

// A new, empty file of this process in the folder ("twk<process id>-<n>" with the extension);
// empty when none can be made there.
std::wstring NewSaveFile(const std::wstring& folder, const wchar_t* extension) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        wchar_t name[40];
        wsprintfW(name, L"twk%lu-%u%s", GetCurrentProcessId(), ++counter, extension);
        const std::wstring path = folder + name;
        if (path.size() >= MAX_PATH) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            return {};
        }
        UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
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
// were ended half-way. The file they were meant for holds its old or its new content, so these
// hold nothing else; backups are never touched.
void RemoveLeftovers(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + AsWide(UnitView(kNewContentPattern))).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::optional<std::uint32_t> owner = NewContentOwner(AsUnits(found.cFileName));
        if (owner && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            *owner != GetCurrentProcessId() && !IsRunning(*owner)) {
            DeleteFileW((folder + found.cFileName).c_str());
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

bool WriteNewFile(const std::wstring& path, BytePieces pieces) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && WritePieces(file.Get(), pieces) && file.Close();
}

// The new content in a file of its own beside the target, swapped in at once: killed at any
// moment, the target holds its old or its new content. (A backup name would make the swap two
// renames, with a moment when the target is missing. Wine's ReplaceFileW has that moment even
// without one: it moves the old file aside and deletes it before renaming the new one in.)
bool ReplaceThroughNewFile(const wchar_t* path, const std::wstring& folder, BytePieces pieces) {
    const std::wstring replacement = NewSaveFile(folder, L".tmp");
    if (replacement.empty()) {
        return false;
    }
    if (WriteNewFile(replacement, pieces) &&
        ReplaceFileW(path, replacement.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                     nullptr)) {
        return true;
    }
    ErrorKeeper keep;
    DeleteFileW(replacement.c_str());
    return false;
}

// A copy of the old content aside (beside the file, or in the temporary folder), then the new
// content in place; the copy goes back when the write fails.
bool ReplaceInPlace(const wchar_t* path, const std::wstring& folder, BytePieces pieces) {
    std::wstring backup = NewSaveFile(folder, L".bak");
    if (backup.empty()) {
        wchar_t temp[MAX_PATH];
        const DWORD length = GetTempPathW(MAX_PATH, temp);
        if (length > 0 && length < MAX_PATH) {
            backup = NewSaveFile(temp, L".bak");
        }
    }
    if (backup.empty() || !CopyFileW(path, backup.c_str(), FALSE)) {
        ErrorKeeper keep;
        if (!backup.empty()) {
            DeleteFileW(backup.c_str());
        }
        return false;
    }
    UniqueFile file(CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file && WritePieces(file.Get(), pieces) && file.Close()) {
        DeleteFileW(backup.c_str());
        return true;
    }
    ErrorKeeper keep;
    if (!file) {
        // Nothing was written: putting the copy back could only overwrite what another program
        // has written since.
        DeleteFileW(backup.c_str());
        return false;
    }
    file.Close();
    // Should even the copy fail to go back, the old content stays in the backup file.
    if (CopyFileW(backup.c_str(), path, FALSE)) {
        DeleteFileW(backup.c_str());
    }
    return false;
}

} // namespace

bool WriteWholeFile(const wchar_t* path, BytePieces pieces) {
    DWORD links = 1;
    bool created = false;
    {
        UniqueFile probe(CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                     OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe) {
            return false;
        }
        created = GetLastError() != ERROR_ALREADY_EXISTS;
        BY_HANDLE_FILE_INFORMATION information;
        if (GetFileInformationByHandle(probe.Get(), &information)) {
            links = information.nNumberOfLinks;
        }
    }
    const std::wstring folder = FolderOf(path);
    bool written = false;
    if (created) {
        // Nothing to keep: a failed write leaves no half-written file behind.
        written = WriteNewFile(path, pieces);
        if (!written) {
            ErrorKeeper keep;
            DeleteFileW(path);
        }
    } else {
        // A file with several names must be written in place, or its other names would keep
        // the old content.
        written = (links <= 1 && ReplaceThroughNewFile(path, folder, pieces)) ||
                  ReplaceInPlace(path, folder, pieces);
    }
    if (written) {
        RemoveLeftovers(folder);
    }
    return written;
}
