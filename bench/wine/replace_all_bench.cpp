// Replace All as the user waits for it, under Wine: from the click (the dialog's notification
// reaching the handler) to the report's message box, on a 10 MB document with 1 000 000
// occurrences, the undo copy and the edit control's taking the new text included. The engine
// alone on the same text, and a memcpy of the final text, are timed in the same run.
#include "app/main_window.h"
#include "app/settings.h"
#include "bench/wine/bench_window.h"
#include "language/language_library.h"
#include "search/engine.h"
#include "search/find_commands.h"
#include "search/replace_all.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"

#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 3;
constexpr int kLines = 100000;
constexpr int kWordsPerLine = 10;

// Lines of ten "zeta " and CR LF: 1 000 000 occurrences in 5 200 000 units (10.4 MB).
std::wstring DocumentText() {
    std::wstring line;
    for (int word = 0; word < kWordsPerLine; ++word) {
        line += L"zeta ";
    }
    line += L"\r\n";
    std::wstring text;
    text.reserve(line.size() * kLines);
    for (int i = 0; i < kLines; ++i) {
        text += line;
    }
    return text;
}

double Now() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) * 1e3 / double(frequency.QuadPart);
}

// The moment the report box comes up; the box is closed at once, as a user's OK would.
double ReportShownAt;

LRESULT CALLBACK WatchForReport(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        ReportShownAt = Now();
        PostMessageW(reinterpret_cast<HWND>(wParam), WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The document in a block of exactly its size, handed to the control as its own.
bool InstallDocument(const std::wstring& text) {
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    HLOCAL block = LocalAlloc(LMEM_MOVEABLE, bytes);
    if (block == nullptr) {
        return false;
    }
    std::memcpy(LocalLock(block), text.c_str(), bytes);
    LocalUnlock(block);
    DropReplaceAllCopy();
    GiveTextBlock(block);
    return true;
}

// Milliseconds from the notification to the report.
double ClickToReport() {
    FINDREPLACEW record{};
    record.lStructSize = sizeof(record);
    record.Flags = FR_REPLACEALL | FR_MATCHCASE | FR_DOWN;
    ReportShownAt = 0;
    const double start = Now();
    FindMessageHandler(reinterpret_cast<LPARAM>(&record));
    return ReportShownAt - start;
}

// The engine on a heap copy of the text, growing it with realloc as the block's resize would.
class HeapText final : public ReplaceAllMemory {
  public:
    explicit HeapText(const std::wstring& text)
        : units_(static_cast<Unit*>(std::malloc((text.size() + 1) * sizeof(Unit)))) {
        std::memcpy(units_, text.c_str(), (text.size() + 1) * sizeof(Unit));
        text_.units = units_;
        text_.length = static_cast<std::uint32_t>(text.size());
    }
    ~HeapText() { std::free(units_); }
    Unit* ResizeText(std::uint32_t length) override {
        auto* resized = static_cast<Unit*>(std::realloc(units_, (length + 1) * sizeof(Unit)));
        if (resized != nullptr) {
            units_ = resized;
        }
        return resized;
    }
    BorrowedText& Text() { return text_; }

  private:
    Unit* units_;
    BorrowedText text_;
};

double EngineAlone(const std::wstring& text, const std::wstring& replacement) {
    HeapText heap(text);
    const SearchPattern pattern{u"zeta", true, {}, {}};
    const UnitView with(reinterpret_cast<const Unit*>(replacement.c_str()), replacement.size());
    const double start = Now();
    const ReplaceAllResult result = ReplaceAll(heap.Text(), pattern, with, heap);
    const double elapsed = Now() - start;
    return result.count == 1000000 ? elapsed : -1;
}

// A message box like the report, from the call to its coming up.
double ReportBoxAlone() {
    ReportShownAt = 0;
    const double start = Now();
    MessageBoxW(MainWindow, L"1 000 000 occurrences were replaced.", L"Tarnwick",
                MB_ICONINFORMATION);
    return ReportShownAt - start;
}

// What the control's own re-reading costs: a text of the final size handed to it.
double ControlTakesText(std::size_t units) {
    const std::wstring text(units, L'x');
    const double start = Now();
    const bool installed = InstallDocument(text);
    const double elapsed = Now() - start;
    return installed ? elapsed : -1;
}

double CopyOfFinalText(std::size_t units) {
    std::vector<wchar_t> from(units, L'x');
    std::vector<wchar_t> to(units);
    const double start = Now();
    std::memcpy(to.data(), from.data(), units * sizeof(wchar_t));
    const double elapsed = Now() - start;
    return to[units / 2] == L'x' ? elapsed : -1;
}

} // namespace

int main() {
    if (!LoadEnglishLibrary()) {
        return 1;
    }
    CreateBenchWindows(DefWindowProcW, 560);
    HHOOK hook = SetWindowsHookExW(WH_CBT, WatchForReport, nullptr, GetCurrentThreadId());
    const std::wstring text = DocumentText();
    lstrcpyW(FindString, L"zeta");

    struct Case {
        const char* name;
        const wchar_t* replacement;
    };
    const Case cases[] = {{"same length (zeta -> beta)", L"beta"},
                          {"longer (zeta -> epsilon)", L"epsilon"}};
    std::printf("%zu UTF-16 units (%.1f MB), 1 000 000 occurrences; median of %d rounds.\n\n",
                text.size(), double(text.size()) * 2 / 1e6, kRounds);
    std::printf(
        "| Replace All | click to report, ms | engine alone, ms | the control taking a "
        "text of the final size, ms | the report box alone, ms | memcpy of the final text, ms "
        "|\n|---|---|---|---|---|---|\n");
    for (const Case& c : cases) {
        lstrcpyW(ReplaceString, c.replacement);
        const std::size_t finalUnits = text.size() + 1000000 * (lstrlenW(c.replacement) - 4);
        std::vector<double> whole, engine, control, box, copy;
        for (int round = 0; round < kRounds; ++round) {
            if (!InstallDocument(text)) {
                std::printf("no memory for the document\n");
                return 1;
            }
            whole.push_back(ClickToReport());
            if (!ReplaceAllUndoAvailable || EditGetTextLength(EditControl) != finalUnits) {
                std::printf("the Replace All did not run as expected\n");
                return 1;
            }
            engine.push_back(EngineAlone(text, c.replacement));
            control.push_back(ControlTakesText(finalUnits));
            box.push_back(ReportBoxAlone());
            copy.push_back(CopyOfFinalText(finalUnits));
        }
        std::printf("| %s | %.0f | %.1f | %.0f | %.0f | %.1f |\n", c.name, Median(whole),
                    Median(engine), Median(control), Median(box), Median(copy));
    }
    UnhookWindowsHookEx(hook);
    DestroyWindow(MainWindow);
    return 0;
}
