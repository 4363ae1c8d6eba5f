#include "print/page_layout.h"

#include <algorithm>

DeviceRect TextRectangleOnSheet(const SheetGeometry& sheet, const DeviceRect& margins) {
    const auto clip = [](long value, long limit) { return std::clamp(value, 0L, limit); };
    return {clip(margins.left - sheet.offsetX, sheet.printableWidth),
            clip(margins.top - sheet.offsetY, sheet.printableHeight),
            clip(sheet.physicalWidth - margins.right - sheet.offsetX, sheet.printableWidth),
            clip(sheet.physicalHeight - margins.bottom - sheet.offsetY, sheet.printableHeight)};
}

bool HoldsOneLine(const DeviceRect& rectangle, long lineHeight) {
    return rectangle.right > rectangle.left && lineHeight > 0 &&
           rectangle.bottom - rectangle.top >= lineHeight;
}

long PrintFontHeight(long pixelsPerInchY, long pointSizeTenths) {
    const long long product = static_cast<long long>(pixelsPerInchY) * pointSizeTenths;
    return static_cast<long>(product / -720);
}
