#include "print/print_job.h"

#include "app/text_units.h"
#include "print/page_runs.h"

#include <climits>

namespace {

struct PageFormat {
    HDC printer;
    RECT rectangle;
    DRAWTEXTPARAMS parameters;
    long lineHeight;
};

// How tall a run is when drawn on a page; a run that cannot be measured is taller than any page.
// The measured height is found with DT_CALCRECT: what DrawTextExW reports in uiLengthDrawn
// differs between systems (some leave it 0 when drawing), so the pages are found here.
long MeasureOnPage(PageFormat& format, UnitView run) {
    if (run.size() > INT_MAX) {
        return LONG_MAX;
    }
    RECT bounds = format.rectangle;
    const int height =
        DrawTextExW(format.printer, const_cast<wchar_t*>(AsWide(run)), static_cast<int>(run.size()),
                    &bounds, kPageFormat | DT_CALCRECT, &format.parameters);
    return height > 0 ? bounds.bottom - bounds.top : LONG_MAX;
}

// One copy of the whole text; false when a page fails.
bool PrintCopy(PageFormat& format, UnitView text) {
    const long pageHeight = format.rectangle.bottom - format.rectangle.top;
    const MeasureRun measure = [&format](UnitView run) { return MeasureOnPage(format, run); };
    while (!text.empty()) {
        if (StartPage(format.printer) <= 0) {
            return false;
        }
        const PageRun page = NextPageRun(text, pageHeight, format.lineHeight, measure);
        if (page.taken == 0) {
            return false;
        }
        RECT bounds = format.rectangle;
        DrawTextExW(format.printer, const_cast<wchar_t*>(AsWide(text)),
                    static_cast<int>(page.drawn), &bounds, kPageFormat, &format.parameters);
        if (EndPage(format.printer) <= 0) {
            return false;
        }
        text.remove_prefix(page.taken);
    }
    return true;
}

} // namespace

bool PrintPages(HDC printer, const wchar_t* text, size_t length, const DeviceRect& rectangle,
                int copies) {
    TEXTMETRICW metrics{};
    bool printed = GetTextMetricsW(printer, &metrics) != 0;
    // Tab stops every eight average character widths, the unit iTabLength is given in; the
    // format asks for no other stops, so this is also the default.
    PageFormat format{printer,
                      {rectangle.left, rectangle.top, rectangle.right, rectangle.bottom},
                      {sizeof(DRAWTEXTPARAMS), 8, 0, 0, 0},
                      metrics.tmHeight};
    const UnitView whole(reinterpret_cast<const Unit*>(text), length);
    for (int copy = 0; printed && copy < copies; ++copy) {
        printed = PrintCopy(format, whole);
    }
    if (!printed) {
        AbortDoc(printer);
        return false;
    }
    return EndDoc(printer) > 0;
}
