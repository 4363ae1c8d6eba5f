// TarnwickProbe.dll: hooked into the running program's window thread by the e2e driver, it
// does there what cannot be done from another process (read the menus and the status bar,
// make a drop handle). The driver installs it as a WH_GETMESSAGE hook and posts WM_NULL with
// kProbeMarker; the program's own thread then answers between two of its messages. The
// request lies in the file "request" beside this library; the answer goes to "answer" there,
// both UTF-16 LE files with their mark; the answer's first field is "ok" or what went wrong.
//   menu, window, position, sub  -> ok, then id, type, state, text for each item of the popup,
//                                   or (sub not -1) of the submenu at `sub` in that popup
//   status, window, part         -> ok, the text of that part of the status bar
//   parts, window                -> ok, the right edge of each part of the status bar
//   dpi, window, dpi, l, t, r, b -> ok, once WM_DPICHANGED with that rectangle is handled
//   drop, window, path, path...  -> ok, once WM_DROPFILES is posted to the window
// (A thread started in the program from outside could stop its window thread inside the C
// library under Wine and hang both programs; a hook never interrupts the thread.)
#include "fields.h"

#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <string>
#include <vector>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

// The driver's copy of this library (its module: the image base) lies in a short temporary path.
std::wstring FileBeside(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    const std::wstring library(
        path, GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase), path, MAX_PATH));
    return library.substr(0, library.rfind(L'\\') + 1) + name;
}

std::vector<std::wstring> ReadFields(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::wstring text(GetFileSize(file, nullptr) / sizeof(wchar_t), L'\0');
    DWORD read = 0;
    const DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    const bool whole = ReadFile(file, text.data(), size, &read, nullptr) && read == size;
    CloseHandle(file);
    return whole && text.starts_with(L'\xFEFF') ? SplitFields(text.substr(1))
                                                : std::vector<std::wstring>{};
}

void WriteFields(const std::wstring& path, const std::vector<std::wstring>& fields) {
    const std::wstring text = L'\xFEFF' + JoinFields(fields);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written,
                  nullptr);
        CloseHandle(file);
    }
}

std::vector<std::wstring> MenuAnswer(HWND main, int position, int subposition) {
    HMENU popup = GetSubMenu(GetMenu(main), position);
    if (popup != nullptr && subposition >= 0) {
        popup = GetSubMenu(popup, subposition);
    }
    if (popup == nullptr) {
        return {L"the menu bar has no popup at position " + std::to_wstring(position) + L"/" +
                std::to_wstring(subposition)};
    }
    std::vector<std::wstring> answer{L"ok"};
    for (int item = 0; item < GetMenuItemCount(popup); ++item) {
        wchar_t text[1024] = L"";
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = ARRAYSIZE(text);
        GetMenuItemInfoW(popup, static_cast<UINT>(item), TRUE, &info);
        const bool hasId = info.hSubMenu == nullptr && (info.fType & MFT_SEPARATOR) == 0;
        const UINT id = hasId ? info.wID : 0;
        answer.insert(answer.end(), {std::to_wstring(id), std::to_wstring(info.fType),
                                     std::to_wstring(info.fState), text});
    }
    return answer;
}

// The block the shell hands to a window: DROPFILES, then the wide paths each ended by NUL,
// then one more NUL. The window's program frees it with DragFinish.
std::vector<std::wstring> DropAnswer(HWND target, const std::vector<std::wstring>& paths) {
    const std::wstring list = JoinFields(paths) + L'\0';
    const SIZE_T listBytes = list.size() * sizeof(wchar_t);
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + listBytes);
    auto* files = drop != nullptr ? static_cast<DROPFILES*>(GlobalLock(drop)) : nullptr;
    if (files == nullptr) {
        GlobalFree(drop);
        return {L"no memory for the drop handle"};
    }
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    CopyMemory(files + 1, list.data(), listBytes);
    GlobalUnlock(drop);
    if (!PostMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0)) {
        GlobalFree(drop);
        return {L"WM_DROPFILES not posted: error " + std::to_wstring(GetLastError())};
    }
    return {L"ok"};
}

std::vector<std::wstring> StatusAnswer(HWND bar, int part) {
    const LRESULT length = SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0);
    std::wstring text(LOWORD(length) + 1u, L'\0');
    SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(part),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(lstrlenW(text.c_str()));
    return {L"ok", text};
}

std::vector<std::wstring> PartsAnswer(HWND bar) {
    int edges[64];
    const auto count =
        static_cast<int>(SendMessageW(bar, SB_GETPARTS, 64, reinterpret_cast<LPARAM>(edges)));
    std::vector<std::wstring> answer{L"ok"};
    for (int part = 0; part < count && part < 64; ++part) {
        answer.push_back(std::to_wstring(edges[part]));
    }
    return answer;
}

// WM_DPICHANGED as the system sends it: both DPIs in wParam, the suggested outer rectangle
// (which must live in the window's own process) in lParam.
std::vector<std::wstring> DpiAnswer(HWND window, const std::vector<std::wstring>& fields) {
    const int dpi = std::stoi(fields[0]);
    RECT suggested{std::stoi(fields[1]), std::stoi(fields[2]), std::stoi(fields[3]),
                   std::stoi(fields[4])};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    return {L"ok"};
}

HWND WindowField(const std::wstring& field) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::stoull(field)));
}

std::vector<std::wstring> Answer(const std::vector<std::wstring>& request) {
    if (request.size() == 3 && request[0] == L"status") {
        return StatusAnswer(WindowField(request[1]), std::stoi(request[2]));
    }
    if (request.size() == 2 && request[0] == L"parts") {
        return PartsAnswer(WindowField(request[1]));
    }
    if (request.size() == 7 && request[0] == L"dpi") {
        return DpiAnswer(WindowField(request[1]), {request.begin() + 2, request.end()});
    }
    if (request.size() == 4 && request[0] == L"menu") {
        return MenuAnswer(WindowField(request[1]), std::stoi(request[2]), std::stoi(request[3]));
    }
    if (request.size() >= 2 && request[0] == L"drop") {
        return DropAnswer(WindowField(request[1]), {request.begin() + 2, request.end()});
    }
    return {L"the probe does not understand its request"};
}

bool Answered;

} // namespace

// Each request comes with a fresh copy of this library, so one copy answers once. The answer
// is written under another name and renamed, so the driver never reads half of it.
extern "C" __declspec(dllexport) LRESULT CALLBACK
    ProbeHook(int code, WPARAM removed, LPARAM message) {
    const MSG* taken = reinterpret_cast<const MSG*>(message);
    if (code == HC_ACTION && removed == PM_REMOVE && taken->message == WM_NULL &&
        taken->wParam == kProbeMarker && !Answered) {
        Answered = true;
        const std::wstring written = FileBeside(L"answer.part");
        WriteFields(written, Answer(ReadFields(FileBeside(L"request"))));
        MoveFileW(written.c_str(), FileBeside(L"answer").c_str());
    }
    return CallNextHookEx(nullptr, code, removed, message);
}
