// The cost of the status refresh that follows every caret move, on a 10 MiB document with
// the caret at its very end, against one bare EM_LINEFROMCHAR there measured in the same
// run: the line lookup is the one step of the refresh that grows with the document.
#include "app/main_window.h"
#include "app/settings.h"
#include "app/window_procedure.h"
#include "bench/wine/bench_window.h"
#include "language/language_library.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"
#include "view/status_bar.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kTextUnits = 5u << 20;
constexpr int kRounds = 15;
constexpr int kCallsPerBatch = 200;

// Lines of 80 printable characters with CR LF; the text ends inside a line, so that one
// position before the end is an ordinary caret position too.
std::wstring DocumentText() {
    std::wstring text;
    text.reserve(kTextUnits + 1);
    unsigned seed = 12345;
    while (text.size() < kTextUnits) {
        for (int column = 0; column < 80; ++column) {
            seed = seed * 1103515245u + 12345u;
            text += static_cast<wchar_t>(L' ' + (seed >> 16) % 95);
        }
        text += L"\r\n";
    }
    text.resize(kTextUnits);
    return text;
}

void HandlePendingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Microseconds per call of one batch: the work is done kCallsPerBatch times, the call number
// passed in so that the work can alternate.
template <typename Work> double MicrosecondsPerCall(Work work) {
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int call = 0; call < kCallsPerBatch; ++call) {
        work(call);
    }
    QueryPerformanceCounter(&end);
    return double(end.QuadPart - start.QuadPart) * 1e6 / double(frequency.QuadPart) /
           kCallsPerBatch;
}

// As the main window, it sends the texts that wait for the status bar.
LRESULT CALLBACK BenchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kShowStatusTextsMessage) {
        ShowQueuedStatusTexts();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// What the status bar and the title show after the run, so that the reader sees which
// refresh was measured.
void PrintShownTexts() {
    wchar_t title[512];
    GetWindowTextW(MainWindow, title, 512);
    std::printf("Title: %ls\nStatus bar:", title);
    const int parts = static_cast<int>(SendMessageW(StatusBar, SB_GETPARTS, 0, 0));
    for (int part = 0; part < parts; ++part) {
        wchar_t text[256] = L"";
        if (LOWORD(SendMessageW(StatusBar, SB_GETTEXTLENGTHW, part, 0)) < 256) {
            SendMessageW(StatusBar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
        }
        std::printf(" [%ls]", text);
    }
    std::printf("\n\n");
}

} // namespace

int main() {
    INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    if (!LoadEnglishLibrary()) {
        return 1;
    }
    // The bar is on, as the Status setting records it whenever the bar exists.
    SetSetting(IntKey::Status, 1);

    CreateBenchWindows(BenchWindowProc, 520);
    if (!EditSetText(EditControl, DocumentText().c_str())) {
        std::printf("the edit control refused the text\n");
        return 1;
    }
    EditTextHandle = EditGetHandle(EditControl);
    const LONG_PTR end = EditGetTextLength(EditControl);
    EditSetSel(EditControl, end, end);
    CreateStatusBar();
    HandlePendingMessages();

    // Even calls put the caret one position before the end, odd calls back at the end, so
    // that every refresh after a move sees a changed selection.
    auto move = [end](int call) {
        const LONG_PTR position = end - 1 + (call & 1);
        EditSetSel(EditControl, position, position);
    };
    std::vector<double> lineFromChar, setSel, updated, moveAndRefresh, unchanged;
    for (int round = 0; round < kRounds; ++round) {
        lineFromChar.push_back(MicrosecondsPerCall([end](int) {
            volatile int line = EditLineFromChar(EditControl, end);
            (void)line;
        }));
        setSel.push_back(MicrosecondsPerCall(move));
        // A move whose texts reach the bar at once: the waiting texts are sent and the bar
        // painted, as when the user moves the caret by one key at a time.
        updated.push_back(MicrosecondsPerCall([&move](int call) {
            move(call);
            RefreshStatus();
            HandlePendingMessages();
        }));
        moveAndRefresh.push_back(MicrosecondsPerCall([&move](int call) {
            move(call);
            RefreshStatus();
        }));
        // The batch ended with the caret back at the end; this refresh takes it in, and every
        // timed one after it finds nothing changed.
        RefreshStatus();
        unchanged.push_back(MicrosecondsPerCall([](int) { RefreshStatus(); }));
        HandlePendingMessages();
    }

    PrintShownTexts();
    const double reference = Median(lineFromChar);
    const double moveOnly = Median(setSel);
    const double withUpdate = Median(updated);
    const double raw = Median(moveAndRefresh);
    const double same = Median(unchanged);
    struct Row {
        const char* name;
        double microseconds;
        double goal; // as a ratio to the reference; 0 when the row has none
    };
    const Row rows[] = {
        {"EM_LINEFROMCHAR(end), the reference", reference, 0},
        {"EM_SETSEL, moving by one", moveOnly, 0},
        {"a move, its refresh and the bar's update (messages handled)", withUpdate, 0},
        {"refresh after a move, raw (EM_SETSEL + RefreshStatus)", raw, 3},
        {"refresh after a move, net (raw - EM_SETSEL)", raw - moveOnly, 3},
        {"refresh with nothing changed", same, 1},
    };
    std::printf("%zu UTF-16 units, %d lines, caret at the end. Median of %d batches of %d "
                "calls; ratios to EM_LINEFROMCHAR(end).\n\n",
                kTextUnits, EditGetLineCount(EditControl), kRounds, kCallsPerBatch);
    std::printf("| case | us per call | x EM_LINEFROMCHAR | goal | met |\n");
    std::printf("|---|---|---|---|---|\n");
    for (const Row& row : rows) {
        const double ratio = row.microseconds / reference;
        if (row.goal > 0) {
            std::printf("| %s | %.2f | %.2f | <= %.0fx | %s |\n", row.name, row.microseconds, ratio,
                        row.goal, ratio <= row.goal ? "yes" : "no");
        } else {
            std::printf("| %s | %.2f | %.2f | - | - |\n", row.name, row.microseconds, ratio);
        }
    }
    DestroyWindow(MainWindow);
    return 0;
}
