// Printing as a user does it, on real printer queues: CUPS with cups-pdf writes each job as a
// PDF, which poppler's tools read back (pages, words and where they stand on the sheet).
#include "tests/e2e/driver.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>

namespace {

// The page set-up dialog's margin fields, left, top, right, bottom.
constexpr int kMarginFields[4] = {edt4, edt5, edt6, edt7};
constexpr double kPointsPerMillimetre = 72.0 / 25.4;

struct Word {
    double left, top, right;
    std::string text;
};
using Page = std::vector<Word>;

// The printer queues' PDFs in TARNWICK_PDF_FOLDER (a Linux path) not among those seen.
std::set<std::string> NewJobs(const std::set<std::string>& seen) {
    const std::wstring folder = Environment(L"TARNWICK_PDF_FOLDER");
    std::set<std::string> files;
    for (const std::wstring& name : FilesIn(L"Z:" + folder + L"\\")) {
        const std::string file = Utf8(folder + L"/" + name);
        if (name.ends_with(L".pdf") && !seen.contains(file)) {
            files.insert(file);
        }
    }
    return files;
}

// The next job's PDF once complete, which is then seen: what pdfinfo says of it, and its pages
// with their words as pdftotext -bbox reads them (it writes "&" as "&amp;").
std::pair<std::string, std::vector<Page>> WaitForJob(std::set<std::string>& seen,
                                                     DWORD milliseconds = 30000) {
    std::string file, info;
    const auto complete = [&] {
        const std::set<std::string> jobs = NewJobs(seen);
        file = jobs.empty() ? "" : *jobs.begin();
        return !file.empty() &&
               (info = LinuxOutput("pdfinfo '" + file + "'")).find("Pages:") != info.npos;
    };
    EXPECT_TRUE(WaitUntil(complete, milliseconds)) << "no new PDF within " << milliseconds << " ms";
    seen.insert(file);
    static const std::regex word(
        R"x(<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)"[^>]*>(.*)</word>)x");
    std::vector<Page> pages;
    std::istringstream html(LinuxOutput("pdftotext -bbox '" + file + "' -"));
    std::smatch match;
    for (std::string line; std::getline(html, line);) {
        if (line.find("<page ") != std::string::npos) {
            pages.emplace_back();
        } else if (std::regex_search(line, match, word) && !pages.empty()) {
            pages.back().push_back({std::stod(match[1]), std::stod(match[2]), std::stod(match[3]),
                                    match[4] == "&amp;" ? "&" : match[4].str()});
        }
    }
    return {info, pages};
}

// Answers the print dialog (Ctrl+P) with this button, this many copies, on this printer.
void Print(const Program& tarnwick, int copies = 1, const std::wstring& printer = L"",
           int button = IDOK) {
    BringToFront(tarnwick.MainWindow());
    Keys(L"Ctrl+P");
    const DialogView dialog = tarnwick.Dialog(L"Print");
    if (!printer.empty()) {
        dialog.Choose(cmb4, printer); // the printer's list
    }
    dialog.Fill(edt3, std::to_wstring(copies)); // the copies
    dialog.Press(button);
}

// The page set-up dialog confirmed with these margins in inches, left, top, right, bottom.
void SetUpPage(const Program& tarnwick, std::initializer_list<double> inches) {
    SendCommand(tarnwick.MainWindow(), IDM_FILE_PAGE_SETUP);
    // Found by its margin field: its caption is "Page Setup" on Windows, "Setup Page" in Wine.
    const DialogView dialog{
        tarnwick.Find([](HWND window) { return GetDlgItem(window, kMarginFields[0]) != nullptr; },
                      "page set-up dialog")};
    // The dialog's unit follows the user's locale.
    wchar_t measure[4] = L"";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, measure, 4);
    const int* field = kMarginFields;
    for (double margin : inches) {
        dialog.Fill(*field++, std::to_wstring(measure[0] == L'1' ? margin : margin * 25.4));
    }
    dialog.Press(IDOK);
}

// A line's height in points for this face at a size in tenths of a point, on the default printer.
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
    std::ranges::transform(page, std::inserter(tops, tops.end()), &Word::top);
    return tops.size() < 2 ? 0 : *std::next(tops.begin()) - *tops.begin();
}

// The words of this many pages from the first, in order.
std::vector<std::string> Texts(const std::vector<Page>& pages, int first, int count) {
    std::vector<std::string> texts;
    for (int page = first; page < first + count; ++page) {
        std::ranges::transform(pages[page], std::back_inserter(texts), &Word::text);
    }
    return texts;
}

// The text stands this far from the sheet's left and top edges (points, within a point).
void ExpectTopLeftAt(const Page& page, double left, double top) {
    ASSERT_FALSE(page.empty());
    EXPECT_NEAR(std::ranges::min(page, {}, &Word::left).left, left, 1.0);
    // The first line's words start a little below the line's top: its internal leading.
    const double topmost = std::ranges::min(page, {}, &Word::top).top;
    EXPECT_GE(topmost, top - 0.5);
    EXPECT_LE(topmost, top + 3.0);
}

void ExpectEnabledAndNoMessage(const Program& tarnwick) {
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(tarnwick.MainWindow()) != 0; }))
        << "the main window stayed disabled";
    EXPECT_TRUE(tarnwick.Windows(L"#32770").empty()) << "a dialog or message box is open";
}

TEST(Printing, EveryPageOfEachCopyInOrderThenAsThePageSetUpThePrinterAndTheFontSay) {
    if (Environment(L"TARNWICK_PDF_FOLDER").empty()) {
        GTEST_SKIP() << "no printer queues (TARNWICK_PDF_FOLDER is not set)";
    }
    std::set<std::string> seen = NewJobs({});
    // Pages of the default printer hold this many lines between the start margins of 25 mm.
    const double tenPoints = LineHeight(L"Lucida Console", 100);
    const int linesPerPage = static_cast<int>((842 - 50 * kPointsPerMillimetre) / tenPoints);
    ASSERT_GT(linesPerPage, 30);
    // Page 1: thirty numbered lines, then empty lines; page 2: only empty lines; page 3: tabs,
    // an ampersand, a long line that wraps at its blanks, and more numbered lines.
    std::string text;
    for (int n = 1; n <= 2 * linesPerPage; ++n) {
        text += n <= 30 ? "Line " + std::to_string(n) + " on the first page\r\n" : "\r\n";
    }
    text += "Tab\tstop\r\nLonger\tstop\r\nFish & Chips\r\n";
    for (int n = 1; n <= 60; ++n) {
        text += "word" + std::to_string(n) + (n < 60 ? " " : "\r\n");
    }
    for (int n = 31; n <= 40; ++n) {
        text += "Line " + std::to_string(n) + " on the third page\r\n";
    }
    Sandbox sandbox;
    // The screen font is 14 points; until a size is chosen in the font dialog, prints are in 10.
    sandbox.WriteIni("[Tarnwick]\r\nFontHeight=-19\r\n");
    const std::wstring path = sandbox / L"three pages.txt";
    WriteBytes(path, text);
    Program tarnwick(sandbox, Quoted(path));

    Print(tarnwick, 2);
    const auto [info, pages] = WaitForJob(seen);
    EXPECT_NE(info.find("three pages.txt\n"), std::string::npos) << "the job's title: " << info;
    ASSERT_EQ(pages.size(), 6u) << "two copies of three pages";
    // Every word once, in order, nothing cut: the document's words, on each copy's pages.
    std::istringstream words(text);
    EXPECT_EQ(Texts(pages, 0, 3),
              std::vector<std::string>(std::istream_iterator<std::string>(words), {}));
    for (int page = 0; page < 3; ++page) {
        EXPECT_EQ(Texts(pages, 3 + page, 1), Texts(pages, page, 1)) << "page " << page + 1;
    }
    EXPECT_NEAR(LineSpacing(pages[0]), tenPoints, 0.2);
    EXPECT_TRUE(pages[1].empty()) << "page 2 holds only empty lines";
    const Page& third = pages[2];
    ExpectTopLeftAt(pages[0], 20 * kPointsPerMillimetre, 25 * kPointsPerMillimetre);
    ExpectTopLeftAt(third, 20 * kPointsPerMillimetre, 25 * kPointsPerMillimetre);
    ASSERT_GE(third.size(), 4u);
    EXPECT_EQ(third[0].text, "Tab") << "page 3 starts with the line after the empty ones";
    // Tabs stop at the same place on both lines ("stop" is word 1 and 3), eight characters in.
    EXPECT_NEAR(third[1].left, third[3].left, 0.5);
    const double characterWidth = (third[0].right - third[0].left) / 3;
    EXPECT_NEAR(third[1].left - third[0].left, 8 * characterWidth, characterWidth / 2);
    // The long line wraps at its blanks within A4's right margin (595 points), on several lines.
    std::set<double> wrappedLines;
    for (const Word& word : third) {
        if (word.text.starts_with("word")) {
            EXPECT_LE(word.right, 595 - 20 * kPointsPerMillimetre + 0.5) << word.text;
            wrappedLines.insert(std::round(word.top));
        }
    }
    EXPECT_GE(wrappedLines.size(), 3u);

    // Nothing comes out for an empty document, a cancelled dialog, or margins that leave less
    // than one line, of which the user is told.
    SendCommand(tarnwick.MainWindow(), IDM_FILE_NEW);
    Print(tarnwick);
    ExpectEnabledAndNoMessage(tarnwick);
    InsertText(tarnwick.EditControl(), L"first line\r\nsecond line\r\n");
    Print(tarnwick, 1, L"", IDCANCEL);
    ExpectEnabledAndNoMessage(tarnwick);
    SetUpPage(tarnwick, {1, 5.8, 1, 5.8});
    Print(tarnwick);
    tarnwick.Box(IDS_PRINT_FAILED, IDS_ERROR_CAPTION, L"OK");
    ExpectEnabledAndNoMessage(tarnwick);
    Sleep(4000);
    EXPECT_EQ(NewJobs(seen), std::set<std::string>{}) << "a job came out";

    // Margins of 1 inch (1.5 at the top) on the bordered printer: still from the sheet's edges.
    SetUpPage(tarnwick, {1, 1.5, 1, 1});
    Print(tarnwick, 1, L"PDFBorder");
    const std::vector<Page> bordered = WaitForJob(seen).second;
    ASSERT_EQ(bordered.size(), 1u);
    ExpectTopLeftAt(bordered[0], 72, 108);

    // A face that Wine's PostScript driver can embed (it fails on some OpenType faces), in a long
    // job: the window is disabled while it is drawn, and enabled again after it.
    ChooseFontInDialog(tarnwick, L"DejaVu Sans Mono", L"14");
    ASSERT_TRUE(WaitUntil([&] { return sandbox.IniValue(L"Name") == L"DejaVu Sans Mono"; }));
    std::wstring many;
    for (int line = 0; line < 2000; ++line) {
        many += L"A line of the long document, one of many\r\n";
    }
    Retype(tarnwick.EditControl(), many);
    Print(tarnwick);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(tarnwick.MainWindow()); }, 5000))
        << "the window was never seen disabled";
    const std::vector<Page> fourteenPoints = WaitForJob(seen, 60000).second;
    ExpectEnabledAndNoMessage(tarnwick);
    ASSERT_GT(fourteenPoints.size(), 40u);
    EXPECT_NEAR(LineSpacing(fourteenPoints[0]), LineHeight(L"DejaVu Sans Mono", 140), 0.2);
    ExpectTopLeftAt(fourteenPoints[0], 72, 108);
    tarnwick.CloseDiscarding(Untitled(sandbox));
}

} // namespace
