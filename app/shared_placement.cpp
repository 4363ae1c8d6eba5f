#include "app/shared_placement.h"

#include "app/cascade.h"
#include "app/dpi.h"
#include "app/settings.h"

PlacementBlock* SharedPlacement;
int WindowIsMinMax;

namespace {

constexpr wchar_t kBlockName[] = L"Tarnwick";

HANDLE PlacementMapping;
// Where the geometry is kept when no shared block can be had: this copy then works alone.
PlacementBlock OwnPlacement;

PlacementBlock* MapBlock(HANDLE mapping) {
    return static_cast<PlacementBlock*>(
        MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(PlacementBlock)));
}

void StoreOwnGeometry(PlacementBlock& block) {
    block = {Setting(IntKey::x), Setting(IntKey::y), Setting(IntKey::Width),
             Setting(IntKey::Height)};
}

// The copy that made the block writes its geometry a moment after making it: a block still
// empty (no stored window has a width of 0) is waited for briefly, and taken as no geometry
// at all should it stay empty.
bool WaitForStoredGeometry(const PlacementBlock& block) {
    const volatile std::int32_t& width = block.width;
    for (int wait = 0; wait < 50; ++wait) {
        if (width != 0) {
            return true;
        }
        Sleep(10);
    }
    return false;
}

void CascadeFromRunningCopy() {
    const Placement placed = Cascade(
        {Setting(IntKey::x), Setting(IntKey::y), Setting(IntKey::Width), Setting(IntKey::Height)},
        ScaleTo96(GetSystemMetrics(SM_CXSCREEN)), ScaleTo96(GetSystemMetrics(SM_CYSCREEN)));
    SetSetting(IntKey::x, placed.x);
    SetSetting(IntKey::y, placed.y);
    SetSetting(IntKey::Width, placed.width);
    SetSetting(IntKey::Height, placed.height);
}

} // namespace

void OpenSharedPlacement() {
    PlacementMapping = OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, kBlockName);
    if (PlacementMapping != nullptr) {
        SharedPlacement = MapBlock(PlacementMapping);
        if (SharedPlacement != nullptr) {
            if (WaitForStoredGeometry(*SharedPlacement)) {
                PlacementFromShared();
                SettingsCheckRanges();
                CascadeFromRunningCopy();
            } else {
                StoreOwnGeometry(*SharedPlacement);
            }
            return;
        }
        CloseHandle(PlacementMapping);
    }
    PlacementMapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                          sizeof(PlacementBlock), kBlockName);
    SharedPlacement = PlacementMapping != nullptr ? MapBlock(PlacementMapping) : nullptr;
    if (SharedPlacement == nullptr) {
        SharedPlacement = &OwnPlacement;
    }
    StoreOwnGeometry(*SharedPlacement);
}

void RecordWindowPosition(HWND window) {
    RECT outer;
    if (SharedPlacement == nullptr || Setting(IntKey::FullScr) != 0 || WindowIsMinMax != 0 ||
        !GetWindowRect(window, &outer)) {
        return;
    }
    SharedPlacement->x = ScaleTo96(outer.left);
    SharedPlacement->y = ScaleTo96(outer.top);
}

void RecordWindowSize(HWND window, UINT sizeType) {
    RECT outer;
    if (SharedPlacement == nullptr || Setting(IntKey::FullScr) != 0 || sizeType == SIZE_MAXIMIZED ||
        sizeType == SIZE_MINIMIZED || !GetWindowRect(window, &outer)) {
        return;
    }
    SharedPlacement->width = ScaleTo96(outer.right - outer.left);
    SharedPlacement->height = ScaleTo96(outer.bottom - outer.top);
}

void CloseSharedPlacement() {
    if (SharedPlacement != &OwnPlacement && SharedPlacement != nullptr) {
        UnmapViewOfFile(SharedPlacement);
    }
    if (PlacementMapping != nullptr) {
        CloseHandle(PlacementMapping);
        PlacementMapping = nullptr;
    }
    SharedPlacement = nullptr;
}
