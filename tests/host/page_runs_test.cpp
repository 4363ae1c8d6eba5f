#include "print/page_layout.h"
#include "print/page_runs.h"
#include "test_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <tuple>
#include <vector>

namespace {

constexpr auto IsBreak = [](Unit unit) { return unit == u'\r' || unit == u'\n'; };
constexpr auto IsBlank = [](Unit unit) { return unit == u' ' || unit == u'\t'; };

// Where each line starts in a model of the printer's DrawTextExW wrapping a monospaced font, a
// unit a column: lines break at CR, LF and CR LF, and a break ending a run adds no line; a word
// that does not fit goes to the next line, the blanks before it dropped (blanks before a break
// hang, indentation stays on its line); a word over `width` units starts a line, cut every `width`.
std::vector<std::size_t> LineStarts(UnitView text, std::size_t width) {
    const auto skip = [text](std::size_t from, auto over) {
        while (from < text.size() && over(text[from])) {
            ++from;
        }
        return from;
    };
    std::vector<std::size_t> starts;
    std::size_t i = 0;
    while (i < text.size()) {
        starts.push_back(i);
        std::size_t column = skip(i, IsBlank) - i;
        i += column;
        while (i < text.size() && !IsBreak(text[i])) {
            const std::size_t word = skip(i, IsBlank);
            const auto wordEnd = skip(word, [](Unit u) { return !IsBlank(u) && !IsBreak(u); });
            if (wordEnd == word || column + (wordEnd - i) <= width) {
                column += wordEnd - i;
                i = wordEnd;
                continue;
            }
            if (column > 0) {
                starts.push_back(word);
            }
            for (i = word; wordEnd - i > width; starts.push_back(i)) {
                // A character of two units is never cut.
                i += text[i + width] >= 0xDC00 && text[i + width] <= 0xDFFF ? width - 1 : width;
            }
            column = wordEnd - i;
            i = wordEnd;
        }
        if (i < text.size()) {
            i += text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n' ? 2 : 1;
        }
    }
    return starts;
}

constexpr long kLineHeight = 10;

MeasureRun ModelMeasure(std::size_t width) {
    return [width](UnitView run) {
        return static_cast<long>(LineStarts(run, width).size()) * kLineHeight;
    };
}

// Where each page starts when the whole text is drawn at once and cut every `lines` lines.
std::vector<std::size_t> PageStartsDrawnWhole(UnitView text, std::size_t width, std::size_t lines) {
    const std::vector<std::size_t> starts = LineStarts(text, width);
    std::vector<std::size_t> pages;
    for (std::size_t line = 0; line < starts.size(); line += lines) {
        pages.push_back(starts[line]);
    }
    return pages;
}

// Where each page starts when pages are found one by one; fails on a page that takes nothing.
std::vector<std::size_t> PageStartsOneByOne(UnitView text, std::size_t width, std::size_t lines) {
    std::vector<std::size_t> pages;
    const MeasureRun measure = ModelMeasure(width);
    std::size_t position = 0;
    while (position < text.size()) {
        pages.push_back(position);
        const PageRun run = NextPageRun(
            text.substr(position), static_cast<long>(lines) * kLineHeight, kLineHeight, measure);
        EXPECT_GT(run.taken, 0u) << "a page took nothing at " << position;
        EXPECT_LE(run.drawn, run.taken);
        if (run.taken == 0) {
            break;
        }
        // Whatever is taken but not drawn is the blanks where the line wraps.
        for (std::size_t i = position + run.drawn; i < position + run.taken; ++i) {
            EXPECT_TRUE(IsBlank(text[i])) << "unit " << i << " taken but not drawn";
        }
        position += run.taken;
    }
    return pages;
}

std::u16string RandomText(std::mt19937& random, std::size_t units) {
    static const char16_t* const pieces[] = {u" ",  u"  ",       u"\t",  u"\r\n",        u"\n",
                                             u"\r", u"\r\n\r\n", u"   ", u"\xD83D\xDE00"};
    std::u16string text;
    while (text.size() < units) {
        if (random() % 3 == 0) {
            text += pieces[random() % std::size(pieces)];
        } else {
            text.append(1 + random() % (random() % 8 == 0 ? 60 : 9),
                        static_cast<Unit>(u'a' + random() % 26));
        }
    }
    return text;
}

// The rows are what the printer's DrawTextExW was seen to do, as LineStarts models it, and lone
// CRs and tabs; the page runs rely on them. Then random texts of all of these.
TEST(PageRuns, PagesAreThoseOfTheWholeTextCutEveryFewLines) {
    std::vector<std::tuple<std::u16string, std::size_t, std::size_t>> cases = {
        {u"\r\n\r\n\r\n\r\n\r\nafter five empty lines\r\n", 30, 2},
        {u"a\r\n\r\n\r\nb\r\n\r\n", 5, 1},
        {u"words   with   wide   gaps   between   them", 9, 1},
        {u"  indented line\r\n    more indented line\r\n", 8, 1},
        {u"tail blanks    \r\nnext", 12, 1},
        {u"ab abcdefghijklmnopqrstuvwxyz cd", 5, 2},
        {u"abcdefghijklmnopqrstuvwxyz", 5, 2},
        {u"cr\ronly\rline\rends", 6, 1},
        {u"tab\tseparated\twords\tin\ta\tline", 10, 1}};
    std::mt19937 random(20261207);
    for (int round = 0; round < 400; ++round) {
        const std::u16string text = RandomText(random, 50 + random() % 400);
        const std::size_t width = 8 + random() % 30;
        cases.emplace_back(text, width, 1 + random() % 6);
    }
    for (const auto& [text, width, lines] : cases) {
        SCOPED_TRACE("text \"" + Narrow(text) + "\" width " + std::to_string(width) + " lines " +
                     std::to_string(lines));
        ASSERT_EQ(PageStartsOneByOne(text, width, lines), PageStartsDrawnWhole(text, width, lines));
    }
}

TEST(PageRuns, LongTextsAreMeasuredInGrowingRunsAndWhereNothingFitsNothingIsTaken) {
    std::mt19937 random(7);
    const std::u16string text = RandomText(random, 60000);
    for (const std::u16string& sample : {text, std::u16string(20000, u'x')}) {
        long longest = 0;
        const MeasureRun counting = [&](UnitView run) {
            longest = std::max(longest, static_cast<long>(run.size()));
            return ModelMeasure(80)(run);
        };
        EXPECT_GT(NextPageRun(sample, 60 * kLineHeight, kLineHeight, counting).taken, 0u);
        // 60 lines of 80 columns hold under 4,800 units; no run much longer is measured.
        EXPECT_LE(longest, 4 * 4096);
    }
    EXPECT_EQ(PageStartsOneByOne(text, 80, 60), PageStartsDrawnWhole(text, 80, 60));

    const PageRun none = NextPageRun(u"text", 100, kLineHeight, [](UnitView) { return LONG_MAX; });
    EXPECT_EQ(std::pair(none.drawn, none.taken), (std::pair<std::size_t, std::size_t>{0, 0}));
}

std::tuple<long, long, long, long> Edges(const DeviceRect& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

TEST(PageLayout, MarginsAreMeasuredFromTheSheetAndKeptInThePrintableAreaFontHeightsTruncated) {
    // An A4 sheet at 300 dpi with an unprintable border of 150 by 226 pixels.
    const SheetGeometry sheet{2479, 3508, 150, 226, 2180, 3057};
    const DeviceRect rect = TextRectangleOnSheet(sheet, {236, 295, 236, 295});
    EXPECT_EQ(Edges(rect), std::tuple(86, 69, 2479 - 236 - 150, 3508 - 295 - 226));
    // Margins inside the border are clipped to the printable area.
    EXPECT_EQ(Edges(TextRectangleOnSheet(sheet, {0, 10, 0, 10})), std::tuple(0, 0, 2180, 3057));
    EXPECT_TRUE(HoldsOneLine(rect, 49));
    EXPECT_FALSE(HoldsOneLine({0, 0, 100, 48}, 49));
    EXPECT_FALSE(HoldsOneLine(TextRectangleOnSheet(sheet, {1300, 0, 1300, 0}), 49));
    // The font's height at 300 and 600 dpi for 10 and 12 points, towards zero.
    EXPECT_EQ(PrintFontHeight(300, 100), -41);
    EXPECT_EQ(PrintFontHeight(600, 120), -100);
}

} // namespace
