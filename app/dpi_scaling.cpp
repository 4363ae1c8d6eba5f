#include "app/dpi_scaling.h"

std::int32_t ScalePixels(std::int32_t pixels, std::int32_t fromDpi, std::int32_t toDpi) {
    const std::int64_t product = std::int64_t{pixels} * toDpi;
    const std::int64_t half = fromDpi / 2;
    return static_cast<std::int32_t>((product < 0 ? product - half : product + half) / fromDpi);
}

Placement ScalePlacement(Placement placement, std::int32_t fromDpi, std::int32_t toDpi) {
    return {ScalePixels(placement.x, fromDpi, toDpi), ScalePixels(placement.y, fromDpi, toDpi),
            ScalePixels(placement.width, fromDpi, toDpi),
            ScalePixels(placement.height, fromDpi, toDpi)};
}

Placement CreationPlacement(Placement stored, std::int32_t systemDpi, std::int32_t monitorDpi) {
    return ScalePlacement(stored, kStoredDpi, monitorDpi != 0 ? monitorDpi : systemDpi);
}
