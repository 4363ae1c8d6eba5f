#include "print/page_runs.h"

#include <vector>

namespace {

// Where a page may end: after a line break (which is drawn with the page, as a break at the
// end of a run adds no line), or at blanks where a line wraps (the next page starts at the
// following word).
struct LineEnd {
    std::size_t drawn;
    std::size_t taken;
};

bool IsLineBreak(Unit unit) {
    return unit == u'\r' || unit == u'\n';
}

bool IsBlank(Unit unit) {
    return unit == u' ' || unit == u'\t';
}

// Finds the page's possible ends in order, one at a time.
class LineEnds {
  public:
    explicit LineEnds(UnitView text) : text_(text) {}

    // The next end, or the end of the text once nothing else is left.
    LineEnd Next() {
        while (position_ < text_.size()) {
            const Unit unit = text_[position_];
            if (IsLineBreak(unit)) {
                position_ +=
                    unit == u'\r' && position_ + 1 < text_.size() && text_[position_ + 1] == u'\n'
                        ? 2
                        : 1;
                atLineStart_ = true;
                return {position_, position_};
            }
            if (!IsBlank(unit)) {
                atLineStart_ = false;
                ++position_;
                continue;
            }
            const std::size_t blanks = position_;
            while (position_ < text_.size() && IsBlank(text_[position_])) {
                ++position_;
            }
            // Blanks before a line break hang at the end of the line. A line's indentation stays
            // on its line when the word after it wraps; blanks between words do not.
            if (position_ < text_.size() && !IsLineBreak(text_[position_])) {
                return {atLineStart_ ? position_ : blanks, position_};
            }
        }
        return {text_.size(), text_.size()};
    }

  private:
    UnitView text_;
    std::size_t position_ = 0;
    bool atLineStart_ = true;
};

// Measuring costs time in proportion to the run, so runs are measured from this length up,
// doubling, and a run whose start is already too tall is never measured whole.
constexpr std::size_t kFirstReach = 4096;

bool IsLowSurrogate(Unit unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// True when the run is no taller than `limit`; heights never shrink as a run grows.
bool MeasuresWithin(UnitView run, long limit, const MeasureRun& measure) {
    for (std::size_t probe = kFirstReach; probe < run.size(); probe *= 2) {
        if (measure(run.substr(0, probe)) > limit) {
            return false;
        }
    }
    return measure(run) <= limit;
}

class PageFitter {
  public:
    PageFitter(UnitView text, long pageHeight, const MeasureRun& measure)
        : text_(text), pageHeight_(pageHeight), measure_(measure) {}

    bool Fits(std::size_t length) const {
        return MeasuresWithin(text_.substr(0, length), pageHeight_, measure_);
    }

    // The longest prefix longer than `low` and shorter than `high` that fits, cut only
    // between whole characters; `low` when none does.
    std::size_t LongestFittingPrefix(std::size_t low, std::size_t high) const {
        while (high - low > 1) {
            std::size_t middle = low + (high - low) / 2;
            if (IsLowSurrogate(text_[middle])) {
                if (middle + 1 < high) {
                    ++middle;
                } else if (middle - 1 > low) {
                    --middle;
                } else {
                    break;
                }
            }
            (Fits(middle) ? low : high) = middle;
        }
        return low;
    }

  private:
    UnitView text_;
    long pageHeight_;
    const MeasureRun& measure_;
};

// The end of the word that starts at `start`.
std::size_t WordEnd(UnitView text, std::size_t start) {
    std::size_t end = start;
    while (end < text.size() && !IsBlank(text[end]) && !IsLineBreak(text[end])) {
        ++end;
    }
    return end;
}

} // namespace

PageRun NextPageRun(UnitView remaining, long pageHeight, long lineHeight,
                    const MeasureRun& measure) {
    if (remaining.empty()) {
        return {0, 0};
    }
    const PageFitter fitter(remaining, pageHeight, measure);
    LineEnds ends(remaining);
    std::vector<LineEnd> found;
    // found[0, fitting) fit the page; found[fitting] is the first known not to, if any.
    std::size_t fitting = 0;
    bool overflow = false;
    std::size_t reach = kFirstReach;
    while (!overflow) {
        do {
            found.push_back(ends.Next());
        } while (found.back().drawn < reach && found.back().drawn < remaining.size());
        if (!fitter.Fits(found.back().drawn)) {
            overflow = true;
        } else if (found.back().taken == remaining.size()) {
            return {found.back().drawn, found.back().taken};
        } else {
            fitting = found.size();
            reach *= 2;
        }
    }
    std::size_t low = fitting;
    std::size_t high = found.size() - 1;
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (fitter.Fits(found[middle].drawn)) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    // found[low] is the first end that does not fit.
    if (low == 0) {
        // The first word wraps onto more lines than the page holds: the page takes as much
        // of it as the drawing puts on the page.
        const std::size_t drawn = fitter.LongestFittingPrefix(0, found[0].drawn);
        return {drawn, drawn};
    }
    const LineEnd last = found[low - 1];
    const std::size_t wordEnd = WordEnd(remaining, last.taken);
    const UnitView nextWord = remaining.substr(last.taken, wordEnd - last.taken);
    if (!nextWord.empty() && !MeasuresWithin(nextWord, lineHeight, measure) &&
        measure(remaining.substr(0, last.drawn)) <= pageHeight - lineHeight) {
        // The next word is wider than a line, so it starts a line of its own, and there is
        // room for that line: the page takes as much of the word as it holds.
        const std::size_t drawn = fitter.LongestFittingPrefix(last.taken, wordEnd);
        if (drawn > last.taken) {
            return {drawn, drawn};
        }
    }
    return {last.drawn, last.taken};
}
