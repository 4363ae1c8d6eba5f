// A DLL whose entry point leaves a file behind: the file named by TARNWICK_CODE_MARK.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        wchar_t mark[MAX_PATH];
        const DWORD length = GetEnvironmentVariableW(L"TARNWICK_CODE_MARK", mark, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            // A file that cannot be made leaves no mark, and closing the failed handle is harmless.
            CloseHandle(CreateFileW(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        }
    }
    return TRUE;
}
