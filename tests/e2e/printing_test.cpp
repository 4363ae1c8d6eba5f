// Printing as a user does it, on real printer queues: CUPS with cups-pdf writes each job as a
// PDF, which poppler's tools read back (pages, words and where they stand on the sheet).
#include "language/resource_ids.h"
#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <sstream>

namespace {

// The common print dialog's fields: copies and the printer's list.
constexpr int kCopiesField = 1154;
constexpr int kPrinterList = 1139;
// The page set-up dialog's margin fields, left, top, right, bottom.
constexpr int kMarginFields[4] = {1155, 1156, 1157, 1158};

constexpr double kPointsPerMillimetre = 72.0 / 25.4;
// An A4 sheet in points.
constexpr double kSheetWidth = 595.0;
constexpr double kSheetHeight = 842.0;

std::wstring Widen(const std::string& ascii) {
    return {ascii.begin(), ascii.end()};
}

// The output of a Linux command line, run by Wine, which starts Linux programs by their path.
// The output goes through a file, renamed into place when the command is done: Wine gives a
// Linux program none of the caller's pipes, and its process handle does not wait for it.
std::string Shell(const std::string& command) {
    static int calls = 0;
    const std::string file = "/tmp/tarnwick-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(++calls);
    std::wstring line =
        L"/bin/sh -c " + Quoted(Widen("(" + command + ") >" + file + ".part 2>/dev/null; mv " +
                                      file + ".part " + file));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(L"/bin/sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        ADD_FAILURE() << "could not run " << command;
        return {};
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    const std::wstring output = L"Z:" + Widen(file);
    if (!WaitUntil([&] { return FileExists(output); })) {
        ADD_FAILURE() << "no output of " << command;
        return {};
    }
    const std::string text = ReadBytes(output);
    DeleteFileW(output.c_str());
    return text;
}

struct Word {
    double left, top, right, bottom;
    std::string text;
};
using Page = std::vector<Word>;

std::string Unescape(std::string text) {
    for (const auto& [entity, character] : {std::pair{"&lt;", "<"}, std::pair{"&gt;", ">"},
                                            std::pair{"&quot;", "\""}, std::pair{"&amp;", "&"}}) {
        for (std::size_t at = text.find(entity); at != std::string::npos;
             at = text.find(entity, at + 1)) {
            text.replace(at, std::string(entity).size(), character);
        }
    }
    return text;
}

double Attribute(const std::string& tag, const std::string& name) {
    const std::size_t at = tag.find(name + "=\"");
    return at == std::string::npos ? -1 : std::atof(tag.c_str() + at + name.size() + 2);
}

// One job's output: its pages with their words, as pdftotext -bbox reads them, and its title.
struct PrintedJob {
    std::string file;
    std::string title;
    std::vector<Page> pages;
    double pageWidth = 0;
    double pageHeight = 0;

    std::vector<std::string> Words() const {
        std::vector<std::string> words;
        for (const Page& page : pages) {
            for (const Word& word : page) {
                words.push_back(word.text);
            }
        }
        return words;
    }
};

PrintedJob ReadJob(const std::string& file) {
    PrintedJob job;
    job.file = file;
    const std::string info = Shell("pdfinfo '" + file + "'");
    const std::size_t title = info.find("Title:");
    if (title != std::string::npos) {
        const std::size_t start = info.find_first_not_of(' ', title + 6);
        job.title = info.substr(start, info.find('\n', start) - start);
    }
    std::istringstream html(Shell("pdftotext -bbox '" + file + "' -"));
    for (std::string line; std::getline(html, line);) {
        if (line.find("<page ") != std::string::npos) {
            job.pages.emplace_back();
            job.pageWidth = Attribute(line, "width");
            job.pageHeight = Attribute(line, "height");
        } else if (line.find("<word ") != std::string::npos && !job.pages.empty()) {
            const std::size_t open = line.find('>') + 1;
            job.pages.back().push_back({Attribute(line, "xMin"), Attribute(line, "yMin"),
                                        Attribute(line, "xMax"), Attribute(line, "yMax"),
                                        Unescape(line.substr(open, line.rfind("</word>") - open))});
        }
    }
    return job;
}

// The folder where the printer queues put their PDFs, as Linux and as Wine name it.
class PrinterOutput {
  public:
    PrinterOutput() : linux_(Utf8(Environment(L"TARNWICK_PDF_FOLDER"))) {
        std::replace(windows_.begin(), windows_.end(), L'/', L'\\');
        windows_ += L'\\';
        before_ = Files();
    }
    bool Available() const { return !linux_.empty(); }

    // The next job's PDF, once complete; a failure says what the folder held.
    PrintedJob WaitForJob(DWORD milliseconds = 30000) {
        std::wstring found;
        WaitUntil(
            [&] {
                for (const std::wstring& name : Files()) {
                    if (!before_.count(name) && Shell("pdfinfo '" + linux_ + "/" + Utf8(name) +
                                                      "' >/dev/null 2>&1 && echo ok")
                                                    .starts_with("ok")) {
                        found = name;
                        return true;
                    }
                }
                return false;
            },
            milliseconds);
        if (found.empty()) {
            ADD_FAILURE() << "no new PDF in " << linux_ << " within " << milliseconds << " ms";
            return {};
        }
        before_.insert(found);
        return ReadJob(linux_ + "/" + Utf8(found));
    }

    // Expects that no job comes out within a few seconds.
    void ExpectNoJob() {
        Sleep(4000);
        for (const std::wstring& name : Files()) {
            EXPECT_TRUE(before_.count(name)) << "unexpected job " << Utf8(name);
        }
    }

  private:
    std::set<std::wstring> Files() const {
        const std::vector<std::wstring> files = FilesIn(windows_);
        std::set<std::wstring> pdfs;
        for (const std::wstring& name : files) {
            if (name.ends_with(L".pdf")) {
                pdfs.insert(name);
            }
        }
        return pdfs;
    }

    std::string linux_;
    std::wstring windows_ = L"Z:" + Widen(linux_);
    std::set<std::wstring> before_;
};

// Accepts the print dialog (Ctrl+P) with this many copies on this printer, or cancels it.
void Print(const Program& tarnwick, int copies = 1, const std::wstring& printer = L"",
           bool cancel = false) {
    BringToFront(tarnwick.MainWindow());
    PressKey('P', {VK_CONTROL});
    const HWND dialog = tarnwick.WaitForDialog(L"Print");
    ASSERT_NE(dialog, nullptr);
    if (!printer.empty()) {
        ChooseInList(dialog, kPrinterList, printer);
    }
    SetDlgItemInt(dialog, kCopiesField, copies, FALSE);
    PressDialogButton(dialog, cancel ? IDCANCEL : IDOK);
}

// The page set-up dialog confirmed with these margins, in the dialog's own unit.
void SetUpPage(const Program& tarnwick, const std::wstring (&margins)[4]) {
    SendCommand(tarnwick.MainWindow(), IDM_FILE_PAGE_SETUP);
    // Found by its margin field: its caption is "Page Setup" on Windows, "Setup Page" in Wine.
    HWND dialog = nullptr;
    WaitUntil([&] {
        for (HWND window : tarnwick.Windows(L"#32770")) {
            if (GetDlgItem(window, kMarginFields[0]) != nullptr) {
                dialog = window;
            }
        }
        return dialog != nullptr;
    });
    ASSERT_NE(dialog, nullptr) << "no page set-up dialog";
    for (int side = 0; side < 4; ++side) {
        SetDlgItemTextW(dialog, kMarginFields[side], margins[side].c_str());
    }
    PressDialogButton(dialog, IDOK);
}

// The height in points of a line of this face at a size in tenths of a point, on the default
// printer.
double LineHeight(const std::wstring& face, int pointSizeTenths) {
    HDC printer = CreateDCW(L"WINSPOOL", L"PDF", nullptr, nullptr);
    LOGFONTW font{};
    font.lfHeight = -(GetDeviceCaps(printer, LOGPIXELSY) * pointSizeTenths / 720);
    lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
    HGDIOBJ previous = SelectObject(printer, CreateFontIndirectW(&font));
    TEXTMETRICW metrics{};
    GetTextMetricsW(printer, &metrics);
    const double points = metrics.tmHeight * 72.0 / GetDeviceCaps(printer, LOGPIXELSY);
    DeleteObject(SelectObject(printer, previous));
    DeleteDC(printer);
    return points;
}

// The distance between the first two lines of a page, in points.
double LineSpacing(const Page& page) {
    std::set<double> tops;
    for (const Word& word : page) {
        tops.insert(word.top);
    }
    return tops.size() < 2 ? 0 : *std::next(tops.begin()) - *tops.begin();
}

// Margins in the page set-up dialog's unit, which follows the user's locale.
std::wstring Inches(const wchar_t* inches) {
    wchar_t measure[4] = L"";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, measure, 4);
    if (measure[0] == L'1') {
        return inches;
    }
    return std::to_wstring(std::wcstod(inches, nullptr) * 25.4);
}

std::vector<std::string> WordsOf(const std::wstring& text) {
    std::istringstream stream(Utf8(text));
    std::vector<std::string> words;
    for (std::string word; stream >> word;) {
        words.push_back(word);
    }
    return words;
}

const Word* Find(const Page& page, const std::string& text) {
    const auto found =
        std::find_if(page.begin(), page.end(), [&](const Word& word) { return word.text == text; });
    return found == page.end() ? nullptr : &*found;
}

// The text stands this far from the sheet's left and top edges (points, within a point).
void ExpectTopLeftAt(const Page& page, double left, double top) {
    ASSERT_FALSE(page.empty());
    double leftmost = kSheetWidth;
    double topmost = kSheetHeight;
    for (const Word& word : page) {
        leftmost = std::min(leftmost, word.left);
        topmost = std::min(topmost, word.top);
    }
    EXPECT_NEAR(leftmost, left, 1.0);
    // The first line's words start a little below the line's top: its internal leading.
    EXPECT_GE(topmost, top - 0.5);
    EXPECT_LE(topmost, top + 3.0);
}

void ExpectEnabledAndNoMessage(const Program& tarnwick) {
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(tarnwick.MainWindow()) != 0; }))
        << "the main window stayed disabled";
    EXPECT_TRUE(tarnwick.Windows(L"#32770").empty()) << "a dialog or message box is open";
}

std::string Number(int n) {
    std::string text = std::to_string(n);
    return text.size() < 2 ? "0" + text : text;
}

TEST(Printing, EveryPageOfEachCopyInOrderAtTheStartMargins) {
    PrinterOutput output;
    if (!output.Available()) {
        GTEST_SKIP() << "no printer queues (TARNWICK_PDF_FOLDER is not set)";
    }
    // Pages of the default printer hold this many lines between the start margins of 25 mm.
    const double lineHeight = LineHeight(L"Lucida Console", 100);
    const int linesPerPage =
        static_cast<int>((kSheetHeight - 2 * 25 * kPointsPerMillimetre) / lineHeight);
    ASSERT_GT(linesPerPage, 30);
    // Page 1: thirty numbered lines, then empty lines; page 2: only empty lines; page 3: tabs,
    // an ampersand, a long line that wraps at its blanks, and more numbered lines.
    std::wstring text;
    for (int n = 1; n <= 30; ++n) {
        text += Widen("Line " + Number(n) + " on the first page\r\n");
    }
    for (int n = 30; n < 2 * linesPerPage; ++n) {
        text += L"\r\n";
    }
    text += L"Tab\tstop\r\nLonger\tstop\r\nFish & Chips\r\n";
    for (int n = 1; n <= 60; ++n) {
        text += Widen("word" + Number(n) + (n < 60 ? " " : "\r\n"));
    }
    for (int n = 31; n <= 40; ++n) {
        text += Widen("Line " + Number(n) + " on the third page\r\n");
    }
    Sandbox sandbox;
    const std::wstring path = sandbox / L"three pages.txt";
    WriteBytes(path, Utf8(text));
    Program tarnwick(sandbox, Quoted(path));
    tarnwick.ExpectDocument(Title(L"three pages.txt"), text, false);

    Print(tarnwick, 2);
    const PrintedJob job = output.WaitForJob();
    ExpectEnabledAndNoMessage(tarnwick);
    EXPECT_NE(job.title.find("three pages.txt"), std::string::npos) << job.title;
    ASSERT_EQ(job.pages.size(), 6u) << "two copies of three pages";
    EXPECT_NEAR(job.pageWidth, kSheetWidth, 1);
    EXPECT_NEAR(job.pageHeight, kSheetHeight, 1);
    for (int page = 0; page < 3; ++page) {
        ASSERT_EQ(job.pages[page].size(), job.pages[page + 3].size()) << "page " << page + 1;
        for (std::size_t word = 0; word < job.pages[page].size(); ++word) {
            EXPECT_EQ(job.pages[page][word].text, job.pages[page + 3][word].text);
        }
    }
    // Every word once, in order, nothing cut: the document's words, twice.
    const std::vector<std::string> once = WordsOf(text);
    std::vector<std::string> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    const std::vector<std::string> printed = job.Words();
    const auto [seen, expected] =
        std::mismatch(printed.begin(), printed.end(), twice.begin(), twice.end());
    EXPECT_TRUE(seen == printed.end() && expected == twice.end())
        << "word " << seen - printed.begin() << " printed \""
        << (seen == printed.end() ? "" : *seen) << "\", awaited \""
        << (expected == twice.end() ? "" : *expected) << "\"";

    const Page& first = job.pages[0];
    const Page& third = job.pages[2];
    EXPECT_TRUE(job.pages[1].empty()) << "page 2 holds only empty lines";
    ExpectTopLeftAt(first, 20 * kPointsPerMillimetre, 25 * kPointsPerMillimetre);
    ExpectTopLeftAt(third, 20 * kPointsPerMillimetre, 25 * kPointsPerMillimetre);
    ASSERT_FALSE(third.empty());
    EXPECT_EQ(third.front().text, "Tab") << "page 3 starts with the line after the empty ones";
    // Tabs stop at the same place on both lines, eight characters in.
    const Word* tabbed = Find(third, "Tab");
    const Word* stops[2] = {nullptr, nullptr};
    for (const Word& word : third) {
        if (word.text == "stop") {
            (stops[0] == nullptr ? stops[0] : stops[1]) = &word;
        }
    }
    ASSERT_TRUE(tabbed && stops[0] && stops[1]);
    EXPECT_NEAR(stops[0]->left, stops[1]->left, 0.5);
    const double characterWidth = (tabbed->right - tabbed->left) / 3;
    EXPECT_NEAR(stops[0]->left - tabbed->left, 8 * characterWidth, characterWidth / 2);
    // The long line wraps at its blanks within the right margin, over several lines.
    std::set<double> wrappedLines;
    for (const Word& word : third) {
        if (word.text.starts_with("word")) {
            EXPECT_LE(word.right, kSheetWidth - 20 * kPointsPerMillimetre + 0.5) << word.text;
            wrappedLines.insert(std::round(word.top));
        }
    }
    EXPECT_GE(wrappedLines.size(), 3u);
    tarnwick.CloseNormally();
}

TEST(Printing, FollowsThePageSetUpThePrinterChosenAndTheFontDialogsSize) {
    PrinterOutput output;
    if (!output.Available()) {
        GTEST_SKIP() << "no printer queues (TARNWICK_PDF_FOLDER is not set)";
    }
    Sandbox sandbox;
    // The screen font is 14 points; until a size is chosen in the font dialog, prints are in 10.
    sandbox.WriteIni("[Tarnwick]\r\nFontHeight=-19\r\n");
    const std::wstring path = sandbox / L"setup.txt";
    WriteBytes(path, "first line\r\nsecond line\r\n");
    Program tarnwick(sandbox, path);
    tarnwick.ExpectDocument(Title(L"setup.txt"), L"first line\r\nsecond line\r\n", false);

    Print(tarnwick);
    const PrintedJob tenPoints = output.WaitForJob();
    ASSERT_EQ(tenPoints.pages.size(), 1u);
    EXPECT_NEAR(LineSpacing(tenPoints.pages[0]), LineHeight(L"Lucida Console", 100), 0.2);

    // Margins of 1 inch and 1.5 inches at the top, on the printer with an unprintable border:
    // still measured from the sheet's edges.
    SetUpPage(tarnwick, {Inches(L"1"), Inches(L"1.5"), Inches(L"1"), Inches(L"1")});
    Print(tarnwick, 1, L"PDFBorder");
    const PrintedJob bordered = output.WaitForJob();
    ASSERT_EQ(bordered.pages.size(), 1u);
    ExpectTopLeftAt(bordered.pages[0], 72, 108);

    // A face that Wine's PostScript driver can embed (it fails on some OpenType faces).
    ChooseFontInDialog(tarnwick, L"DejaVu Sans Mono", L"14");
    ASSERT_TRUE(WaitUntil([&] { return sandbox.IniValue(L"Name") == L"DejaVu Sans Mono"; }));
    Print(tarnwick);
    const PrintedJob fourteenPoints = output.WaitForJob();
    ASSERT_EQ(fourteenPoints.pages.size(), 1u);
    EXPECT_NEAR(LineSpacing(fourteenPoints.pages[0]), LineHeight(L"DejaVu Sans Mono", 140), 0.2);
    ExpectTopLeftAt(fourteenPoints.pages[0], 72, 108);
    ExpectEnabledAndNoMessage(tarnwick);
    tarnwick.CloseNormally();
}

TEST(Printing, NothingComesOutWhenEmptyCancelledOrWithoutRoomAndTheWindowComesBack) {
    PrinterOutput output;
    if (!output.Available()) {
        GTEST_SKIP() << "no printer queues (TARNWICK_PDF_FOLDER is not set)";
    }
    Sandbox sandbox;
    Program tarnwick(sandbox);
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    Print(tarnwick);
    ExpectEnabledAndNoMessage(tarnwick);
    InsertText(tarnwick.EditControl(), L"some text");
    Print(tarnwick, 1, L"", true);
    ExpectEnabledAndNoMessage(tarnwick);
    output.ExpectNoJob();

    // Top and bottom margins that leave less than one line: refused, and the user is told.
    SetUpPage(tarnwick, {Inches(L"1"), Inches(L"5.8"), Inches(L"1"), Inches(L"5.8")});
    Print(tarnwick);
    tarnwick.Answer(English(sandbox, IDS_PRINT_FAILED), English(sandbox, IDS_ERROR_CAPTION), L"OK");
    ExpectEnabledAndNoMessage(tarnwick);
    output.ExpectNoJob();

    // A long job: the window is disabled while it is drawn, and enabled again after it.
    SetUpPage(tarnwick, {Inches(L"1"), Inches(L"1"), Inches(L"1"), Inches(L"1")});
    std::wstring text;
    for (int line = 0; line < 3000; ++line) {
        text += L"A line of the long document, one of many\r\n";
    }
    Retype(tarnwick.EditControl(), text);
    Print(tarnwick);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(main); }, 5000))
        << "the window was never seen disabled";
    const PrintedJob job = output.WaitForJob(60000);
    EXPECT_GT(job.pages.size(), 40u);
    ExpectEnabledAndNoMessage(tarnwick);
    tarnwick.CloseDiscarding(sandbox, Untitled(sandbox));
}

} // namespace
