#include "bench/wine/bench_window.h"

#include "app/main_window.h"
#include "language/language_library.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

// The build tree puts the benchmarks in bench\wine\ and the language libraries in languages\.
std::wstring EnglishLibraryPath() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L'\\') + 1);
    return folder + L"..\\..\\languages\\English.dll";
}

} // namespace

bool LoadEnglishLibrary() {
    LanguageLibrary = LoadLibraryExW(EnglishLibraryPath().c_str(), nullptr,
                                     LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
    if (LanguageLibrary == nullptr) {
        std::printf("cannot load %ls (error %lu)\n", EnglishLibraryPath().c_str(), GetLastError());
    }
    return LanguageLibrary != nullptr;
}

void CreateBenchWindows(WNDPROC procedure, int editHeight) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"TarnwickBench";
    RegisterClassW(&windowClass);
    MainWindow =
        CreateWindowExW(0, windowClass.lpszClassName, L"Tarnwick", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        0, 0, 800, 600, nullptr, nullptr, windowClass.hInstance, nullptr);
    EditControl = CreateWindowExW(0, L"EDIT", L"",
                                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                      ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL,
                                  0, 0, 800, editHeight, MainWindow,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditControlId)),
                                  windowClass.hInstance, nullptr);
    EditLimitText(EditControl);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
