// TarnwickProbe.dll: loaded into the running program by the e2e driver, it does there what
// cannot be done from another process (read the menus, make a drop handle) and is unloaded
// again. It reads its request from the file "request" beside itself and writes its answer to
// "answer" there, both UTF-16 fields ended by NUL; the answer's first field is "ok" or what
// went wrong.
//   menu, position               -> ok, then id, type, state, text for each item of the popup
//   drop, window, path, path...  -> ok, once WM_DROPFILES is posted to the window
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

std::wstring FileBeside(HINSTANCE self, const wchar_t* name) {
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameW(self, path.data(), static_cast<DWORD>(path.size()))) ==
           path.size()) {
        path.resize(path.size() * 2);
    }
    path.resize(length);
    return path.substr(0, path.rfind(L'\\') + 1) + name;
}

std::vector<std::wstring> ReadFields(const std::wstring& path) {
    std::vector<std::wstring> fields;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return fields;
    }
    std::wstring text(GetFileSize(file, nullptr) / sizeof(wchar_t), L'\0');
    DWORD read = 0;
    const DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    const bool whole = ReadFile(file, text.data(), size, &read, nullptr) && read == size;
    CloseHandle(file);
    for (std::size_t start = 0, end; whole && (end = text.find(L'\0', start)) != text.npos;
         start = end + 1) {
        fields.push_back(text.substr(start, end - start));
    }
    return fields;
}

void WriteFields(const std::wstring& path, const std::vector<std::wstring>& fields) {
    std::wstring text;
    for (const std::wstring& field : fields) {
        text += field;
        text += L'\0';
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written,
                  nullptr);
        CloseHandle(file);
    }
}

HWND MainWindowOfThisProcess() {
    HWND found = nullptr;
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            wchar_t name[16] = L"";
            GetClassNameW(window, name, ARRAYSIZE(name));
            if (process == GetCurrentProcessId() && lstrcmpW(name, L"Tarnwick") == 0) {
                *reinterpret_cast<HWND*>(parameter) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<std::wstring> MenuAnswer(int position) {
    HWND main = MainWindowOfThisProcess();
    if (main == nullptr) {
        return {L"no window of class Tarnwick in the program"};
    }
    HMENU popup = GetSubMenu(GetMenu(main), position);
    if (popup == nullptr) {
        return {L"the menu bar has no popup at position " + std::to_wstring(position)};
    }
    std::vector<std::wstring> answer{L"ok"};
    const int count = GetMenuItemCount(popup);
    for (int item = 0; item < count; ++item) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
        GetMenuItemInfoW(popup, static_cast<UINT>(item), TRUE, &info);
        std::wstring text(info.cch + 1, L'\0');
        info.dwTypeData = text.data();
        info.cch = static_cast<UINT>(text.size());
        GetMenuItemInfoW(popup, static_cast<UINT>(item), TRUE, &info);
        text.resize(info.cch);
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
    std::wstring list;
    for (const std::wstring& path : paths) {
        list += path;
        list += L'\0';
    }
    list += L'\0';
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
        return {L"WM_DROPFILES could not be posted (error " + std::to_wstring(GetLastError()) +
                L")"};
    }
    return {L"ok"};
}

std::vector<std::wstring> Answer(const std::vector<std::wstring>& request) {
    if (request.size() == 2 && request[0] == L"menu") {
        return MenuAnswer(std::stoi(request[1]));
    }
    if (request.size() >= 2 && request[0] == L"drop") {
        const HWND target = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::stoull(request[1])));
        return DropAnswer(target, {request.begin() + 2, request.end()});
    }
    return {L"the probe does not understand its request"};
}

} // namespace

// The work is done on the loading thread, and the load is refused so that the library leaves
// the program at once and its copy can be deleted.
BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        WriteFields(FileBeside(self, L"answer"), Answer(ReadFields(FileBeside(self, L"request"))));
    }
    return FALSE;
}
