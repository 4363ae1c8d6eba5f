#include "document/file_reading.h"

#include <algorithm>
#include <array>

namespace {

constexpr DWORD kReadChunk = 64u << 20;

bool ReadExactly(HANDLE file, BYTE* destination, DWORD count) {
    while (count > 0) {
        DWORD read = 0;
        const DWORD want = std::min(count, kReadChunk);
        if (!ReadFile(file, destination, want, &read, nullptr)) {
            return false;
        }
        if (read == 0) {
            // The file became shorter while it was read.
            SetLastError(ERROR_HANDLE_EOF);
            return false;
        }
        destination += read;
        count -= read;
    }
    return true;
}

} // namespace

bool ReadFileText(HANDLE file, FileText& text) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) {
        return false;
    }
    if (size.HighPart != 0) {
        SetLastError(ERROR_FILE_TOO_LARGE);
        return false;
    }
    const DWORD length = size.LowPart;
    MovableBlock bytes(SIZE_T{length} + 4);
    const LockedBlock locked(bytes.Get());
    if (!locked) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    std::array<unsigned char, 4> first{};
    if (!ReadExactly(file, locked.As(), std::min<DWORD>(length, 4))) {
        return false;
    }
    std::copy_n(locked.As(), 4, first.begin());
    const Recognition recognition = Recognise(length, first);
    if (!recognition.accepted) {
        SetLastError(ERROR_BAD_FORMAT);
        return false;
    }
    // Nothing of the first read may stay in front of the text or behind it.
    std::fill_n(locked.As(), 4, BYTE{0});
    text.count = length - recognition.markLength;
    if (SetFilePointer(file, static_cast<LONG>(recognition.markLength), nullptr, FILE_BEGIN) ==
            INVALID_SET_FILE_POINTER ||
        !ReadExactly(file, locked.As(), text.count)) {
        return false;
    }
    text.bytes = std::move(bytes);
    text.encoding = recognition.encoding;
    return true;
}
