// Loading and saving timings under Wine, split into the program's own work (reading and
// decoding through a mapping or ReadFile, encoding, writing) and the edit control's taking of
// the loaded block, each against a memcpy of the text's bytes measured in the same run.
#include "app/handles.h"
#include "document/encoding_io.h"
#include "document/file_reading.h"
#include "document/recovery.h"
#include "document/safe_write.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

double Seconds(const std::function<void()>& work, int repeats) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    double best = 1e30;
    for (int i = 0; i < repeats; ++i) {
        LARGE_INTEGER start;
        LARGE_INTEGER end;
        QueryPerformanceCounter(&start);
        work();
        QueryPerformanceCounter(&end);
        best = std::min(best, double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
    }
    return best;
}

// Lines of printable text with CR LF breaks, as file bytes of the encoding.
std::string FileBytes(std::size_t size, EncodingId encoding) {
    std::string bytes;
    bytes.reserve(size);
    if (encoding == kEncodingUtf16Le) {
        bytes += "\xFF\xFE";
    }
    unsigned seed = 12345;
    std::size_t column = 0;
    while (bytes.size() < size) {
        char c;
        if (++column == 80) {
            c = '\r';
        } else if (column == 81) {
            c = '\n';
            column = 0;
        } else {
            seed = seed * 1103515245u + 12345u;
            c = static_cast<char>(' ' + (seed >> 16) % 95);
        }
        bytes += c;
        if (encoding == kEncodingUtf16Le) {
            bytes += '\0';
        }
    }
    bytes.resize(size);
    return bytes;
}

void WriteFileBytes(const wchar_t* path, const std::string& bytes) {
    HANDLE file =
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

struct Row {
    double memcpyFresh, mapped, read, setHandle, recoveryCopy, encode, write;
};

Row Measure(const std::wstring& folder, std::size_t size, EncodingId encoding) {
    const std::string bytes = FileBytes(size, encoding);
    const std::wstring path = folder + L"bench-in.txt";
    const std::wstring out = folder + L"bench-out.txt";
    WriteFileBytes(path.c_str(), bytes);
    const int repeats = size >= (100u << 20) ? 2 : 5;
    Row row{1e30, 1e30, 1e30, 0, 1e30, 1e30, 1e30};

    // The reference: the text's bytes, two per character, copied into fresh memory, as the load
    // must deliver them.
    const std::size_t textBytes =
        encoding == kEncodingUtf16Le ? bytes.size() - 2 : bytes.size() * sizeof(wchar_t);
    const std::vector<char> reference(textBytes, 'x');
    row.memcpyFresh = Seconds(
        [&] {
            GlobalBlock fresh(textBytes);
            std::memcpy(fresh.As(), reference.data(), textBytes);
        },
        repeats);

    FileText loaded;
    for (const ReadWay way : {ReadWay::Mapped, ReadWay::Read}) {
        double& best = way == ReadWay::Mapped ? row.mapped : row.read;
        best = Seconds(
            [&] {
                HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
                loaded = FileText{};
                if (!ReadFileText(file, way, loaded)) {
                    std::printf("read failed: %lu\n", GetLastError());
                }
                CloseHandle(file);
            },
            repeats);
    }

    row.setHandle = Seconds([&] { GiveTextBlock(loaded.text.Release()); }, 1);
    // The window thread's share of a recovery write: the text copied out of the control.
    row.recoveryCopy = Seconds(
        [&] {
            SIZE_T copied = 0;
            HeapFree(GetProcessHeap(), 0, CopyTextForRecovery(copied));
        },
        repeats);

    const DWORD length = EditGetTextLength(EditControl);
    const wchar_t* text = static_cast<const wchar_t*>(LocalLock(EditGetHandle(EditControl)));
    EncodedText encoded;
    row.encode = Seconds(
        [&] {
            encoded = EncodedText{};
            (void)EncodeText(text, length, encoding, false, encoded);
        },
        repeats);
    row.write = Seconds(
        [&] {
            std::wstring kept;
            (void)WriteWholeFile(
                out.c_str(), BytePieces(encoded.pieces, encoded.pieces[1].empty() ? 1 : 2), kept);
        },
        repeats);
    LocalUnlock(EditGetHandle(EditControl));
    DeleteFileW(path.c_str());
    DeleteFileW(out.c_str());
    return row;
}

} // namespace

int main() {
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    EditControl = CreateWindowExW(
        0, L"EDIT", L"",
        WS_CHILD | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL, 0, 0,
        600, 400, window, nullptr, GetModuleHandleW(nullptr), nullptr);
    EditLimitText(EditControl);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);

    std::printf("Ratios (x) are to a memcpy of the text's bytes (two per character) into fresh "
                "memory.\n\n");
    std::printf("| file | encoding | memcpy ms | load, mapped ms (x) | load, ReadFile ms (x) | "
                "EM_SETHANDLE ms | recovery copy ms (x) | encode ms (x) | write ms (x) |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|\n");
    for (std::size_t megabytes : {1u, 10u, 100u}) {
        for (EncodingId encoding : {kEncodingAnsi, kEncodingUtf16Le}) {
            const Row r = Measure(temp, megabytes << 20, encoding);
            const double m = r.memcpyFresh;
            std::printf("| %zu MB | %s | %.2f | %.2f (%.2f) | %.2f (%.2f) | %.0f | %.2f (%.2f) | "
                        "%.2f (%.2f) | %.2f (%.2f) |\n",
                        megabytes, encoding == kEncodingAnsi ? "ANSI" : "UTF-16 LE", m * 1e3,
                        r.mapped * 1e3, r.mapped / m, r.read * 1e3, r.read / m, r.setHandle * 1e3,
                        r.recoveryCopy * 1e3, r.recoveryCopy / m, r.encode * 1e3, r.encode / m,
                        r.write * 1e3, r.write / m);
            std::fflush(stdout);
        }
    }
    DestroyWindow(window);
    return 0;
}
