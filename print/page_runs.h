// How much of the text one printed page takes: the longest run that ends where a line of the
// printed text may end and whose drawn height fits the page. Every unit of the text goes on
// exactly one page, in order, and lines wrap where the drawing wraps them.
#ifndef TARNWICK_PRINT_PAGE_RUNS_H
#define TARNWICK_PRINT_PAGE_RUNS_H

#include "app/text_units.h"

#include <cstddef>
#include <functional>

// The height of a run drawn from the top of the text rectangle, with the page's width and
// format; a run that cannot be measured is taller than any page.
using MeasureRun = std::function<long(UnitView run)>;

struct PageRun {
    // Units drawn on the page, from the start of the remaining text.
    std::size_t drawn;
    // Units the page takes: the drawn ones and the spaces where the next page's line wraps.
    // Zero when not even one character fits the page.
    std::size_t taken;
};

// The page for the start of `remaining`, which is the start of a printed line.
PageRun NextPageRun(UnitView remaining, long pageHeight, long lineHeight,
                    const MeasureRun& measure);

#endif
