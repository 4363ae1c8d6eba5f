#include "document/file_reading.h"

#include "document/view_guard.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <cwchar>
#include <span>

namespace {

constexpr DWORD kReadChunk = 64u << 20;
// A mapped file is decoded a slice at a time and each slice let go, so that its pages never all
// sit in memory beside the text. A multiple of the allocation granularity.
constexpr DWORD kSlice = 4u << 20;

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

bool MoveTo(HANDLE file, ULONGLONG position) {
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(position);
    return SetFilePointerEx(file, distance, nullptr, FILE_BEGIN) != FALSE;
}

// How the ANSI code page's text may be cut into slices.
struct AnsiSlicing {
    // UTF-8 as the ANSI code page: the whole text is one slice.
    bool whole = false;
    bool doubleByte = false;
    std::array<bool, 256> lead{};
};

AnsiSlicing SlicingOfAnsiCodePage() {
    AnsiSlicing slicing;
    CPINFO info;
    if (!GetCPInfo(CP_ACP, &info) || info.MaxCharSize > 2) {
        slicing.whole = true;
        return slicing;
    }
    slicing.doubleByte = info.MaxCharSize == 2;
    for (int range = 0; range + 1 < MAX_LEADBYTES && info.LeadByte[range] != 0; range += 2) {
        for (int b = info.LeadByte[range]; b <= info.LeadByte[range + 1]; ++b) {
            slicing.lead[b] = true;
        }
    }
    return slicing;
}

// The bytes of the file at a position, from a view of a mapping or from a read.
class ByteSource {
  public:
    ByteSource(HANDLE file, ReadWay way) : file_(file), way_(way) {}
    ~ByteSource() {
        Unmap();
        if (mapping_ != nullptr) {
            CloseHandle(mapping_);
        }
    }
    ByteSource(const ByteSource&) = delete;
    ByteSource& operator=(const ByteSource&) = delete;

    bool Open(DWORD slice) {
        if (way_ == ReadWay::Read) {
            buffer_ = GlobalBlock(slice);
            if (!buffer_) {
                SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            }
            return static_cast<bool>(buffer_);
        }
        SYSTEM_INFO system;
        GetSystemInfo(&system);
        granularity_ = system.dwAllocationGranularity;
        mapping_ = CreateFileMappingW(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
        return mapping_ != nullptr;
    }

    // The count bytes from the position on; nothing when they cannot be had.
    const BYTE* Take(ULONGLONG position, DWORD count) {
        if (way_ == ReadWay::Read) {
            return MoveTo(file_, position) && ReadExactly(file_, buffer_.As(), count) ? buffer_.As()
                                                                                      : nullptr;
        }
        Unmap();
        const ULONGLONG base = position - position % granularity_;
        view_ =
            MapViewOfFile(mapping_, FILE_MAP_READ, static_cast<DWORD>(base >> 32),
                          static_cast<DWORD>(base), static_cast<SIZE_T>(position - base) + count);
        return view_ != nullptr ? static_cast<const BYTE*>(view_) + (position - base) : nullptr;
    }

  private:
    void Unmap() {
        if (view_ != nullptr) {
            UnmapViewOfFile(view_);
            view_ = nullptr;
        }
    }

    HANDLE file_;
    ReadWay way_;
    HANDLE mapping_ = nullptr;
    void* view_ = nullptr;
    DWORD granularity_ = 1;
    GlobalBlock buffer_;
};

// One slice on its way into the text.
struct SliceDecoding {
    const BYTE* source;
    DWORD count;
    bool last;
    EncodingId encoding;
    const AnsiSlicing* ansi;
    BYTE* target;
    SIZE_T room; // bytes
    DWORD consumed = 0;
    SIZE_T produced = 0; // bytes
};

// Reads the slice's bytes, which may fault where they come from a view: called guarded.
bool DecodeSlice(void* context) {
    SliceDecoding& slice = *static_cast<SliceDecoding*>(context);
    if (slice.encoding == kEncodingUtf16Le) {
        std::memcpy(slice.target, slice.source, slice.count);
        slice.consumed = slice.count;
        slice.produced = slice.count;
        return true;
    }
    slice.consumed = slice.last || !slice.ansi->doubleByte
                         ? slice.count
                         : static_cast<DWORD>(CompleteCharactersEnd(
                               std::span(slice.source, slice.count), slice.ansi->lead));
    if (slice.consumed == 0) {
        return true;
    }
    const int units = MultiByteToWideChar(
        CP_ACP, 0, reinterpret_cast<const char*>(slice.source), static_cast<int>(slice.consumed),
        reinterpret_cast<wchar_t*>(slice.target),
        static_cast<int>(std::min<SIZE_T>(slice.room / sizeof(wchar_t), INT_MAX)));
    slice.produced = SIZE_T(units) * sizeof(wchar_t);
    return units > 0;
}

// Decodes the count bytes after the mark into the target, which has room for them. units: the
// characters decoded.
bool DecodeFile(HANDLE file, ReadWay way, const Recognition& recognition, DWORD count, BYTE* target,
                SIZE_T room, DWORD& units) {
    const ULONGLONG end = ULONGLONG{recognition.markLength} + count;
    if (recognition.encoding == kEncodingUtf16Le && way == ReadWay::Read) {
        // Read straight into the text: there is nothing to convert.
        units = static_cast<DWORD>((ULONGLONG{count} + 1) / 2);
        return MoveTo(file, recognition.markLength) && ReadExactly(file, target, count);
    }
    const AnsiSlicing ansi =
        recognition.encoding == kEncodingAnsi ? SlicingOfAnsiCodePage() : AnsiSlicing{};
    const DWORD slice = ansi.whole ? count : std::min(count, kSlice);
    ByteSource source(file, way);
    if (!source.Open(slice)) {
        return false;
    }
    ULONGLONG position = recognition.markLength;
    SIZE_T written = 0;
    while (position < end) {
        const DWORD wanted = static_cast<DWORD>(std::min<ULONGLONG>(end - position, slice));
        const BYTE* bytes = source.Take(position, wanted);
        if (bytes == nullptr) {
            return false;
        }
        SliceDecoding decoding{bytes,
                               wanted,
                               position + wanted == end,
                               recognition.encoding,
                               &ansi,
                               target + written,
                               room - written};
        if (!ReadGuarded(bytes, wanted, DecodeSlice, &decoding)) {
            return false;
        }
        position += decoding.consumed;
        written += decoding.produced;
    }
    units = recognition.encoding == kEncodingUtf16Le
                ? static_cast<DWORD>((ULONGLONG{count} + 1) / 2)
                : static_cast<DWORD>(written / sizeof(wchar_t));
    return true;
}

} // namespace

ReadWay ReadWayFor(const wchar_t* path) {
    wchar_t root[MAX_PATH];
    return GetVolumePathNameW(path, root, MAX_PATH) && GetDriveTypeW(root) == DRIVE_FIXED
               ? ReadWay::Mapped
               : ReadWay::Read;
}

bool ReadFileText(HANDLE file, ReadWay way, FileText& text) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) {
        return false;
    }
    if (size.HighPart != 0) {
        SetLastError(ERROR_FILE_TOO_LARGE);
        return false;
    }
    std::array<unsigned char, 4> first{};
    if (!ReadExactly(file, first.data(), std::min<DWORD>(size.LowPart, 4))) {
        return false;
    }
    const Recognition recognition = Recognise(size.LowPart, first);
    if (!recognition.accepted) {
        SetLastError(ERROR_BAD_FORMAT);
        return false;
    }
    const DWORD count = size.LowPart - recognition.markLength;
    if (recognition.encoding == kEncodingAnsi && count > static_cast<DWORD>(INT_MAX)) {
        SetLastError(ERROR_FILE_TOO_LARGE);
        return false;
    }
    // Room for the text and a terminator that the zero fill already holds; for UTF-16 also for
    // an odd last byte's missing high byte.
    const SIZE_T room = recognition.encoding == kEncodingUtf16Le
                            ? SIZE_T{count} + 4
                            : (SIZE_T{count} + 1) * sizeof(wchar_t);
    MovableBlock block(room);
    DWORD units = 0;
    {
        const LockedBlock locked(block.Get());
        if (!locked) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return false;
        }
        if (count > 0 && !DecodeFile(file, way, recognition, count, locked.As(),
                                     room - sizeof(wchar_t), units)) {
            return false;
        }
        text.stopsAtNul = std::wmemchr(locked.As<wchar_t>(), L'\0', units) != nullptr;
    }
    text.text = std::move(block);
    text.length = units;
    text.encoding = recognition.encoding;
    return true;
}
