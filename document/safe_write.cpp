#include "document/safe_write.h"

#include "app/handles.h"
#include "app/path_rules.h"

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

// A new, empty, uniquely named file in the folder; empty when none can be made there.
std::wstring NewTemporaryFile(const std::wstring& folder) {
    wchar_t name[MAX_PATH];
    if (folder.size() >= MAX_PATH - 14 || GetTempFileNameW(folder.c_str(), L"twk", 0, name) == 0) {
        return {};
    }
    return name;
}

bool WriteNewFile(const std::wstring& path, BytePieces pieces) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && WritePieces(file.Get(), pieces) && file.Close();
}

// The new content in a temporary file beside the target, swapped in at once.
bool ReplaceThroughTemporaryFile(const wchar_t* path, BytePieces pieces) {
    const std::wstring folder = FolderOf(path);
    const std::wstring temporary = NewTemporaryFile(folder);
    if (temporary.empty()) {
        return false;
    }
    if (!WriteNewFile(temporary, pieces)) {
        ErrorKeeper keep;
        DeleteFileW(temporary.c_str());
        return false;
    }
    // With a backup name the target never goes missing: when the swap fails half-way, the
    // old content is at that name and goes back.
    std::wstring backup = NewTemporaryFile(folder);
    if (!backup.empty()) {
        DeleteFileW(backup.c_str());
    }
    if (ReplaceFileW(path, temporary.c_str(), backup.empty() ? nullptr : backup.c_str(),
                     REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        if (!backup.empty()) {
            DeleteFileW(backup.c_str());
        }
        return true;
    }
    ErrorKeeper keep;
    if (GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 && !backup.empty()) {
        MoveFileExW(backup.c_str(), path, MOVEFILE_REPLACE_EXISTING);
    }
    DeleteFileW(temporary.c_str());
    return false;
}

// A copy of the old content aside (beside the file, or in the temporary folder), then the new
// content in place; the copy goes back when the write fails.
bool ReplaceInPlace(const wchar_t* path, BytePieces pieces) {
    std::wstring backup = NewTemporaryFile(FolderOf(path));
    if (backup.empty()) {
        wchar_t temp[MAX_PATH];
        const DWORD length = GetTempPathW(MAX_PATH, temp);
        if (length > 0 && length < MAX_PATH) {
            backup = NewTemporaryFile(temp);
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
    if (created) {
        // Nothing to keep: a failed write leaves no half-written file behind.
        if (WriteNewFile(path, pieces)) {
            return true;
        }
        ErrorKeeper keep;
        DeleteFileW(path);
        return false;
    }
    // A file with several names must be written in place, or its other names would keep the
    // old content.
    if (links <= 1 && ReplaceThroughTemporaryFile(path, pieces)) {
        return true;
    }
    return ReplaceInPlace(path, pieces);
}
