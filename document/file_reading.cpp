#include "document/file_reading.h"

#include "document/local_drive.h"
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

// How the ANSI code page's text may be cut into slices, and what it shows for bytes it cannot
// read.
struct AnsiCodePage {
    // UTF-8 as the ANSI code page: the whole text is one slice.
    bool whole = false;
    bool doubleByte = false;
    std::array<bool, 256> lead{};
    // The character that stands for bytes the code page cannot read; 0 where every byte reads.
    wchar_t replacement = 0;
};

// A single-byte code page that gives every byte a character (1252, 1250) never replaces one:
// its slices need no second look, however many of its default characters ('?') they hold.
bool EveryByteReads() {
    std::array<char, 256> bytes;
    for (std::size_t b = 0; b < bytes.size(); ++b) {
        bytes[b] = static_cast<char>(b);
    }
    return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(),
                               static_cast<int>(bytes.size()), nullptr, 0) != 0;
}

AnsiCodePage AnsiCodePageFacts() {
    AnsiCodePage ansi;
    CPINFOEXW info;
    if (!GetCPInfoExW(CP_ACP, 0, &info)) {
        ansi.whole = true;
        return ansi;
    }
    ansi.whole = info.MaxCharSize > 2;
    ansi.doubleByte = info.MaxCharSize == 2;
    for (int range = 0; range + 1 < MAX_LEADBYTES && info.LeadByte[range] != 0; range += 2) {
        for (int b = info.LeadByte[range]; b <= info.LeadByte[range + 1]; ++b) {
            ansi.lead[b] = true;
        }
    }
    if (info.MaxCharSize > 1 || !EveryByteReads()) {
        ansi.replacement = info.UnicodeDefaultChar;
    }
    return ansi;
}

// One slice on its way into the text.
struct SliceDecoding {
    const BYTE* source;
    DWORD count;
    bool last;
    EncodingId encoding;
    const AnsiCodePage* ansi;
    BYTE* target;
    SIZE_T room; // bytes
    // Set once a slice held bytes the code page could not read; later slices need no look.
    bool replaced;
    DWORD consumed = 0;
    SIZE_T produced = 0; // bytes
};

// The decoded units hold the code page's replacement character: decoded again with
// MB_ERR_INVALID_CHARS, the same bytes tell a replacement from a real character of that value.
// Only slices that hold the character pay for the second decoding.
bool HoldsReplacedBytes(const SliceDecoding& slice, int units) {
    const wchar_t replacement = slice.ansi->replacement;
    // std::find, unrolled, scans a slice's units faster than the C library's wmemchr.
    const wchar_t* decoded = reinterpret_cast<const wchar_t*>(slice.target);
    if (replacement == 0 || std::find(decoded, decoded + units, replacement) == decoded + units) {
        return false;
    }
    return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS,
                               reinterpret_cast<const char*>(slice.source),
                               static_cast<int>(slice.consumed), nullptr, 0) == 0 &&
           GetLastError() == ERROR_NO_UNICODE_TRANSLATION;
}

// Reads the slice's bytes, which may fault where they come from a view: called guarded.
bool DecodeSlice(void* context) {
    SliceDecoding& slice = *static_cast<SliceDecoding*>(context);
    if (slice.encoding == kEncodingUtf16Le) {
        std::memcpy(slice.target, slice.source, slice.count);
        slice.consumed = slice.count;
        slice.produced = slice.count;
        return true;
    }
    // A lead byte at the slice's end waits for its trail byte in the next slice rather than
    // being taken for a byte that does not read.
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
    if (units <= 0) {
        return false;
    }
    slice.produced = SIZE_T(units) * sizeof(wchar_t);
    slice.replaced = slice.replaced || HoldsReplacedBytes(slice, units);
    return true;
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
        viewSize_ = static_cast<SIZE_T>(position - base) + count;
        view_ = MapViewOfFile(mapping_, FILE_MAP_READ, static_cast<DWORD>(base >> 32),
                              static_cast<DWORD>(base), viewSize_);
        return view_ != nullptr ? static_cast<const BYTE*>(view_) + (position - base) : nullptr;
    }

    // Decodes the bytes Take gave; a read fault anywhere in their view ends it with
    // ERROR_READ_FAULT.
    bool Decode(SliceDecoding& slice) {
        return way_ == ReadWay::Read ? DecodeSlice(&slice)
                                     : ReadGuarded(view_, viewSize_, DecodeSlice, &slice);
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
    SIZE_T viewSize_ = 0;
    DWORD granularity_ = 1;
    GlobalBlock buffer_;
};

// Decodes the count bytes after the mark into the target, which has room for them. units: the
// characters decoded; replaced: some bytes did not read in the ANSI code page.
bool DecodeFile(HANDLE file, ReadWay way, const Recognition& recognition, DWORD count, BYTE* target,
                SIZE_T room, DWORD& units, bool& replaced) {
    const ULONGLONG end = ULONGLONG{recognition.markLength} + count;
    if (recognition.encoding == kEncodingUtf16Le && way == ReadWay::Read) {
        // Read straight into the text: there is nothing to convert.
        units = static_cast<DWORD>((ULONGLONG{count} + 1) / 2);
        return MoveTo(file, recognition.markLength) && ReadExactly(file, target, count);
    }
    const AnsiCodePage ansi =
        recognition.encoding == kEncodingAnsi ? AnsiCodePageFacts() : AnsiCodePage{};
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
        SliceDecoding decoding{.source = bytes,
                               .count = wanted,
                               .last = position + wanted == end,
                               .encoding = recognition.encoding,
                               .ansi = &ansi,
                               .target = target + written,
                               .room = room - written,
                               .replaced = replaced};
        if (!source.Decode(decoding)) {
            return false;
        }
        position += decoding.consumed;
        written += decoding.produced;
        replaced = decoding.replaced;
    }
    units = recognition.encoding == kEncodingUtf16Le
                ? static_cast<DWORD>((ULONGLONG{count} + 1) / 2)
                : static_cast<DWORD>(written / sizeof(wchar_t));
    return true;
}

} // namespace

ReadWay ReadWayFor(const wchar_t* path) {
    return OnLocalFixedDrive(path) ? ReadWay::Mapped : ReadWay::Read;
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
    bool replaced = false;
    {
        const LockedBlock locked(block.Get());
        if (!locked) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return false;
        }
        if (count > 0 && !DecodeFile(file, way, recognition, count, locked.As(),
                                     room - sizeof(wchar_t), units, replaced)) {
            return false;
        }
        text.stopsAtNul = std::wmemchr(locked.As<wchar_t>(), L'\0', units) != nullptr;
    }
    text.text = std::move(block);
    text.length = units;
    text.encoding = recognition.encoding;
    text.bytesReplaced = replaced;
    return true;
}
