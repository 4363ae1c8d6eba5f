// The whole program as a user waits for it, under Wine: Tarnwick.exe started empty (to its
// window), started on a file (to the title showing the file's name) with its peak working set,
// and saving it (to the file's new write time). Each open is timed beside Wine's notepad, a peer
// editor on the same edit control, opening the same file the same way: the two programs' takes
// interleaved, the first of each pair alternating, so that neither gains from the order or from
// what the machine did meanwhile. Beside each open, the edit control's own share in the same run:
// a visible control of the program's kind, with the program's default font, taking the same
// text as its buffer (EM_SETHANDLE). The program's own share is the open less the empty start
// and the control's share. Beside each peak working set, that of a bare control given the same
// text in a process of its own.
// Usage: whole_program_bench.exe TARNWICK_EXE FOLDER SIZE_MB...
#include "app/handles.h"
#include "bench/wine/bench_window.h"
#include "language/resource_ids.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"

#include <dlgs.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kTakes = 5;
constexpr wchar_t kNotepad[] = L"C:\\windows\\system32\\notepad.exe";

double Now() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
}

// A line of 80 characters of ASCII words, the line break included.
std::string Line() {
    static const char* const words[] = {"alpha", "beta", "gamma", "delta", "epsilon", "zeta"};
    std::string line;
    for (int word = 0; line.size() < 76; ++word) {
        line += std::string(words[word % 6]) + " ";
    }
    line.resize(78);
    return line + "\r\n";
}

std::size_t Characters(std::size_t megabytes, bool utf16) {
    return (megabytes << 20) / (utf16 ? 2 : 1);
}

// Lines of 80 characters, as the file's text; UTF-16 LE with its mark.
std::string FileBytes(std::size_t megabytes, bool utf16) {
    const std::string line = Line();
    std::string text;
    const std::size_t characters = Characters(megabytes, utf16);
    while (text.size() < characters) {
        text += line;
    }
    text.resize(characters);
    if (!utf16) {
        return text;
    }
    std::string bytes = "\xFF\xFE";
    for (char c : text) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
           written == bytes.size();
}

struct Running {
    PROCESS_INFORMATION process{};
    HWND window = nullptr;
};

// A visible top-level window of the process that passes the test, or null.
template <typename Test> HWND WindowOf(DWORD process, Test test) {
    struct Search {
        DWORD process;
        Test& test;
        HWND found;
    } search{process, test, nullptr};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto* wanted = reinterpret_cast<Search*>(parameter);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == wanted->process && IsWindowVisible(window) && wanted->test(window)) {
                wanted->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WindowWithTitle(DWORD process, const wchar_t* title) {
    return WindowOf(process, [title](HWND window) {
        wchar_t text[512] = L"";
        GetWindowTextW(window, text, 512);
        return std::wstring(text).find(title) != std::wstring::npos;
    });
}

// Starts the program and waits (up to ten minutes) for its window with the title.
Running Start(const std::wstring& exe, const std::wstring& file, const wchar_t* title,
              double& seconds) {
    Running running;
    std::wstring commandLine = L"\"" + exe + L"\"" + (file.empty() ? L"" : L" \"" + file + L"\"");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    const double start = Now();
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &running.process)) {
        std::printf("cannot start %ls (error %lu)\n", exe.c_str(), GetLastError());
        return running;
    }
    while (running.window == nullptr && Now() - start < 600) {
        running.window = WindowWithTitle(running.process.dwProcessId, title);
        Sleep(5);
    }
    seconds = Now() - start;
    return running;
}

void Stop(Running& running) {
    if (running.window != nullptr) {
        PostMessageW(running.window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(running.process.hProcess, 20000) != WAIT_OBJECT_0) {
        TerminateProcess(running.process.hProcess, 1);
    }
    CloseHandle(running.process.hThread);
    CloseHandle(running.process.hProcess);
}

FILETIME WriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

// The edit control's share of an open: taking the decoded text as its buffer and laying it out.
double ControlTakes(const std::string& bytes, bool utf16) {
    const std::size_t skip = utf16 ? 2 : 0;
    const std::size_t units = utf16 ? (bytes.size() - 2) / 2 : bytes.size();
    MovableBlock block((units + 1) * sizeof(wchar_t));
    {
        const LockedBlock text(block.Get());
        if (utf16) {
            memcpy(text.As(), bytes.data() + skip, units * 2);
        } else {
            MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(units),
                                text.As<wchar_t>(), static_cast<int>(units));
        }
    }
    const double start = Now();
    GiveTextBlock(block.Release());
    UpdateWindow(EditControl);
    const double seconds = Now() - start;
    GiveTextBlock(LocalAlloc(LHND, sizeof(wchar_t)));
    PumpMessages();
    return seconds;
}

// A bare edit control's peak working set, in a process of its own (this program started with
// --bare): the text built where a load would put it and handed to the control, nothing else.
// The peak comes back in KiB as the exit code.
DWORD BareControlPeak(std::size_t megabytes, bool utf16) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --bare " +
                               std::to_wstring(megabytes) + (utf16 ? L" 1" : L" 0");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return 0;
    }
    WaitForSingleObject(process.hProcess, 600000);
    DWORD peak = 0;
    GetExitCodeProcess(process.hProcess, &peak);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return peak;
}

int RunBareControl(std::size_t megabytes, bool utf16) {
    const std::string line = Line();
    const std::size_t units = Characters(megabytes, utf16);
    MovableBlock block((units + 1) * sizeof(wchar_t));
    {
        const LockedBlock text(block.Get());
        if (!text) {
            return 0;
        }
        for (std::size_t i = 0; i < units; ++i) {
            text.As<wchar_t>()[i] = static_cast<wchar_t>(line[i % line.size()]);
        }
    }
    GiveTextBlock(block.Release());
    UpdateWindow(EditControl);
    PumpMessages();
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    return static_cast<int>(memory.PeakWorkingSetSize / 1024);
}

// The Replace dialog of the process, known by its replacement field.
HWND ReplaceDialog(DWORD process) {
    HWND found = nullptr;
    for (const double start = Now(); found == nullptr && Now() - start < 30; Sleep(5)) {
        found = WindowOf(process, [](HWND window) { return GetDlgItem(window, edt2) != nullptr; });
    }
    return found;
}

// Replace All of 1 000 000 occurrences ("zeta" → "epsilon") in a 10.4 MB document: from the
// click on Replace All to the edit control holding the longer text.
void MeasureReplaceAll(const std::wstring& exe, const std::wstring& folder) {
    std::string text;
    for (int line = 0; line < 100000; ++line) {
        for (int word = 0; word < 10; ++word) {
            text += "zeta ";
        }
        text += "\r\n";
    }
    const std::wstring path = folder + L"bench-replace.txt";
    if (!WriteFileBytes(path, text)) {
        return;
    }
    double open = 0;
    Running running = Start(exe, path, L"bench-replace.txt", open);
    const HWND edit = FindWindowExW(running.window, nullptr, L"Edit", nullptr);
    PostMessageW(running.window, WM_COMMAND, IDM_SEARCH_REPLACE, 0);
    const HWND dialog = ReplaceDialog(running.process.dwProcessId);
    if (dialog == nullptr || edit == nullptr) {
        std::printf("no Replace dialog\n");
        Stop(running);
        return;
    }
    SendDlgItemMessageW(dialog, edt1, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"zeta"));
    SendDlgItemMessageW(dialog, edt2, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"epsilon"));
    const LRESULT expected = static_cast<LRESULT>(text.size() + 3 * 1000000);
    const double start = Now();
    PostMessageW(GetDlgItem(dialog, psh2), BM_CLICK, 0, 0);
    DWORD_PTR length = 0;
    while (static_cast<LRESULT>(length) != expected && Now() - start < 600) {
        SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 600000, &length);
        Sleep(5);
    }
    std::printf("\nReplace All, 1 000 000 occurrences (zeta -> epsilon, 10.4 MB): %.0f ms from the "
                "click to the longer text in the control\n",
                (Now() - start) * 1000);
    TerminateProcess(running.process.hProcess, 0);
    Stop(running);
    DeleteFileW(path.c_str());
}

// The takes of both programs opening the file, interleaved: Tarnwick first in even pairs,
// notepad first in odd ones.
struct PeerTakes {
    std::vector<double> tarnwick;
    std::vector<double> notepad;
};

PeerTakes OpenBesideNotepad(const std::wstring& exe, const std::wstring& path,
                            const std::wstring& name) {
    PeerTakes takes;
    for (int pair = 0; pair < kTakes; ++pair) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool tarnwick = (pair + turn) % 2 == 0;
            double seconds = 0;
            Running running = Start(tarnwick ? exe : kNotepad, path, name.c_str(), seconds);
            Stop(running);
            (tarnwick ? takes.tarnwick : takes.notepad).push_back(seconds);
        }
    }
    return takes;
}

// "median (min–max)" in milliseconds.
std::string Spread(const std::vector<double>& seconds) {
    char text[64];
    std::snprintf(text, sizeof text, "%.0f (%.0f–%.0f)", Median(seconds) * 1000,
                  *std::min_element(seconds.begin(), seconds.end()) * 1000,
                  *std::max_element(seconds.begin(), seconds.end()) * 1000);
    return text;
}

} // namespace

// The last bytes of a file, or none while it cannot be read.
std::string FileTail(const std::wstring& path, std::size_t count) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string tail(count, '\0');
    LARGE_INTEGER size{};
    DWORD read = 0;
    const bool whole = GetFileSizeEx(file, &size) && size.QuadPart >= LONGLONG(count) &&
                       SetFilePointerEx(file, {.QuadPart = size.QuadPart - LONGLONG(count)},
                                        nullptr, FILE_BEGIN) &&
                       ReadFile(file, tail.data(), DWORD(count), &read, nullptr) && read == count;
    CloseHandle(file);
    return whole ? tail : std::string();
}

// Unsaved text kept for recovery: from a change at the end of a document to the copy's recovery
// file holding it. The program writes 2 s after the last change, on a thread of its own.
void MeasureRecoveryDelay(const std::wstring& exe, const std::wstring& folder) {
    const std::wstring recovery = exe.substr(0, exe.rfind(L'\\') + 1) + L"Recovery\\";
    static const wchar_t kMark[] = L" kept for recovery";
    const std::string tail(reinterpret_cast<const char*>(kMark), sizeof kMark - sizeof(wchar_t));
    std::printf("\nUnsaved text kept for recovery, from the change to the recovery file holding "
                "it:\n\n| file | delay, ms |\n|---|---|\n");
    for (const std::size_t megabytes : {1u, 10u}) {
        const std::wstring name = L"bench-recovery.txt";
        const std::wstring path = folder + name;
        WriteFileBytes(path, FileBytes(megabytes, false));
        double opened = 0;
        Running running = Start(exe, path, name.c_str(), opened);
        const HWND edit = FindWindowExW(running.window, nullptr, L"Edit", nullptr);
        const WPARAM end = SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0);
        SendMessageW(edit, EM_SETSEL, end, end);
        const double changed = Now();
        SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(kMark));
        const std::wstring own =
            recovery + L"Tarnwick-" + std::to_wstring(running.process.dwProcessId) + L"-";
        double kept = 0;
        while (kept == 0 && Now() - changed < 60) {
            WIN32_FIND_DATAW found;
            HANDLE search = FindFirstFileW((own + L"*.recovery").c_str(), &found);
            if (search != INVALID_HANDLE_VALUE) {
                FindClose(search);
                if (FileTail(recovery + found.cFileName, tail.size()) == tail) {
                    kept = Now() - changed;
                }
            }
            Sleep(5);
        }
        std::printf("| %zu MB | %.0f |\n", megabytes, kept * 1000);
        // Unmodified, the program closes without asking and removes its recovery file.
        SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
        Stop(running);
        DeleteFileW(path.c_str());
    }
}

int wmain(int argc, wchar_t** argv) {
    const bool bare = argc == 4 && std::wstring(argv[1]) == L"--bare";
    if (argc < 4) {
        std::printf("usage: whole_program_bench TARNWICK_EXE FOLDER SIZE_MB...\n");
        return 2;
    }
    CreateBenchWindows(DefWindowProcW, 560);
    LOGFONTW font{};
    font.lfHeight = -13;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpyW(font.lfFaceName, L"Lucida Console");
    EditSetFont(EditControl, CreateFontIndirectW(&font));
    PumpMessages();
    if (bare) {
        return RunBareControl(static_cast<std::size_t>(_wtoi(argv[2])), _wtoi(argv[3]) != 0);
    }
    const std::wstring exe = argv[1];
    const std::wstring folder = std::wstring(argv[2]) + L"\\";

    std::vector<double> starts;
    for (int round = 0; round < 3; ++round) {
        double seconds = 0;
        Running running = Start(exe, L"", L"Tarnwick", seconds);
        starts.push_back(seconds);
        Stop(running);
    }
    const double start = Median(starts);
    std::printf("start to the window shown (empty document): %.0f ms (median of 3)\n\n",
                start * 1000);
    std::printf(
        "| file | encoding | open, ms | the control's share, ms | the program's own, ms "
        "| own share | peak working set, MB | a bare control's, MB | over it, MB | file, MB "
        "| save, ms |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|---|\n");
    std::string peerRows;
    for (int size = 3; size < argc; ++size) {
        const std::size_t megabytes = static_cast<std::size_t>(_wtoi(argv[size]));
        for (bool utf16 : {false, true}) {
            const std::wstring name =
                L"bench-" + std::to_wstring(megabytes) + (utf16 ? L"-utf16.txt" : L"-ansi.txt");
            const std::wstring path = folder + name;
            const std::string bytes = FileBytes(megabytes, utf16);
            if (!WriteFileBytes(path, bytes)) {
                std::printf("cannot write %ls\n", path.c_str());
                return 1;
            }
            const PeerTakes takes = OpenBesideNotepad(exe, path, name);
            const double open = Median(takes.tarnwick);
            char row[256];
            std::snprintf(row, sizeof row, "| %zu MB | %s | %s | %s | %.2f× |\n", megabytes,
                          utf16 ? "UTF-16 LE" : "ANSI", Spread(takes.tarnwick).c_str(),
                          Spread(takes.notepad).c_str(), open / Median(takes.notepad));
            peerRows += row;
            // One more open, outside the comparison, for the working set and the save.
            double once = 0;
            Running running = Start(exe, path, name.c_str(), once);
            PROCESS_MEMORY_COUNTERS memory{};
            memory.cb = sizeof memory;
            GetProcessMemoryInfo(running.process.hProcess, &memory, sizeof memory);
            const FILETIME before = WriteTime(path);
            const double saveStart = Now();
            PostMessageW(running.window, WM_COMMAND, IDM_FILE_SAVE, 0);
            for (FILETIME now = before;
                 CompareFileTime(&before, &now) == 0 && Now() - saveStart < 600;
                 now = WriteTime(path)) {
                Sleep(5);
            }
            const double save = Now() - saveStart;
            Stop(running);
            // The best of two: the first may meet the system still busy with the program's exit.
            const double control = std::min(ControlTakes(bytes, utf16), ControlTakes(bytes, utf16));
            const double own = open - start - control;
            const double peak = memory.PeakWorkingSetSize / 1048576.0;
            const double barePeak = BareControlPeak(megabytes, utf16) / 1024.0;
            std::printf("| %zu MB | %s | %.0f | %.0f | %.0f | %.1f %% | %.1f | %.1f | %.1f | %zu | "
                        "%.0f |\n",
                        megabytes, utf16 ? "UTF-16 LE" : "ANSI", open * 1000, control * 1000,
                        own * 1000, 100 * own / open, peak, barePeak, peak - barePeak, megabytes,
                        save * 1000);
            std::fflush(stdout);
            DeleteFileW(path.c_str());
        }
    }
    std::printf("\nBeside Wine's notepad, start on the file to the title naming it, %d interleaved "
                "takes each, ms as median (min–max):\n\n",
                kTakes);
    std::printf("| file | encoding | Tarnwick | notepad | Tarnwick / notepad |\n");
    std::printf("|---|---|---|---|---|\n");
    std::printf("%s", peerRows.c_str());
    MeasureReplaceAll(exe, folder);
    MeasureRecoveryDelay(exe, folder);
    return 0;
}
