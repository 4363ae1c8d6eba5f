// Where the text goes on a printed sheet, in the printer's device units.
#ifndef TARNWICK_PRINT_PAGE_LAYOUT_H
#define TARNWICK_PRINT_PAGE_LAYOUT_H

struct DeviceRect {
    long left;
    long top;
    long right;
    long bottom;
};

// The printer's sheet: its whole size, and the printable area, which is where the device
// context's origin lies.
struct SheetGeometry {
    long physicalWidth;
    long physicalHeight;
    long offsetX;
    long offsetY;
    long printableWidth;
    long printableHeight;
};

// The text rectangle for margins measured from the sheet's edges, in the device context's
// coordinates and within the printable area.
DeviceRect TextRectangleOnSheet(const SheetGeometry& sheet, const DeviceRect& margins);

// True when the rectangle holds at least one line of text of the given height.
bool HoldsOneLine(const DeviceRect& rectangle, long lineHeight);

// The font height for a size in tenths of a point at the device's vertical resolution: negative
// (a character height), truncated towards zero.
long PrintFontHeight(long pixelsPerInchY, long pointSizeTenths);

#endif
