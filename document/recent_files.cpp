#include "document/recent_files.h"

#include "app/main_window.h"
#include "app/settings.h"
#include "document/document_path.h"
#include "document/file_commands.h"
#include "document/recent_list.h"
#include "language/resource_ids.h"

namespace {

// The recent files sit above the tray item; the separator after them is the item at this
// position of the File popup, since the library's menu holds nine items above them.
constexpr UINT kSeparatorPosition = 9;

RecentOrder Order = InitialRecentOrder();

std::size_t Count() {
    return static_cast<std::size_t>(Setting(IntKey::MruCount));
}

// The used slot holding exactly this path. Paths are compared unit by unit: a linguistic
// comparison could take two different files for one.
std::optional<std::size_t> SlotHolding(const wchar_t* path) {
    for (std::size_t slot = 0; slot < Count(); ++slot) {
        if (CompareStringOrdinal(RecentPaths[slot], -1, path, -1, FALSE) == CSTR_EQUAL) {
            return slot;
        }
    }
    return std::nullopt;
}

void WriteRecentFiles() {
    WriteSetting(IntKey::MruCount, Setting(IntKey::MruCount));
    for (std::size_t i = 0; i < Count(); ++i) {
        const auto key = RecentKey(i);
        WriteStringSetting(reinterpret_cast<const wchar_t*>(key.data()), RecentPaths[Order[i]]);
    }
}

} // namespace

void BuildRecentFileItems(HMENU menu) {
    if (Count() == 0) {
        return;
    }
    for (std::size_t i = 0; i < Count(); ++i) {
        wchar_t text[kRecentItemCapacity];
        RecentItemText(i, AsUnits(RecentPaths[Order[i]]), AsUnitBuffer(text));
        InsertMenuW(menu, IDM_FILE_TO_TRAY, MF_BYCOMMAND | MF_STRING, IDM_FILE_RECENT_FIRST + i,
                    text);
    }
    InsertMenuW(menu, IDM_FILE_TO_TRAY, MF_BYCOMMAND | MF_SEPARATOR, 0, nullptr);
}

void RemoveRecentFileItems(HMENU menu) {
    if (Count() == 0) {
        return;
    }
    for (std::size_t i = 0; i < Count(); ++i) {
        DeleteMenu(menu, static_cast<UINT>(IDM_FILE_RECENT_FIRST + i), MF_BYCOMMAND);
    }
    DeleteMenu(GetSubMenu(menu, 0), kSeparatorPosition, MF_BYPOSITION);
}

void AddToRecentFiles() {
    HMENU menu = GetMenu(MainWindow);
    RemoveRecentFileItems(menu);
    const RecentPlacement placement = PlaceAtFront(Order, Count(), SlotHolding(DocumentPath));
    if (placement.takesPath) {
        lstrcpynW(RecentPaths[placement.slot], DocumentPath, MAX_PATH);
    }
    SetSetting(IntKey::MruCount, static_cast<std::int32_t>(placement.count));
    BuildRecentFileItems(menu);
    WriteRecentFiles();
}

void OpenRecentFile(UINT command) {
    const std::size_t entry = command - IDM_FILE_RECENT_FIRST;
    if (entry >= Count()) {
        return;
    }
    // Copied before the question: a Save As answered there reorders the list.
    wchar_t path[MAX_PATH];
    lstrcpynW(path, RecentPaths[Order[entry]], MAX_PATH);
    OpenPathAfterAsking(path);
}

void ClearRecentFiles() {
    RemoveRecentFileItems(GetMenu(MainWindow));
    WriteSetting(IntKey::MruCount, 0);
}

void EnableClearRecentFiles(HMENU menu) {
    EnableMenuItem(menu, IDM_OPTIONS_CLEAR_RECENT,
                   MF_BYCOMMAND | (Count() == 0 ? MF_GRAYED : MF_ENABLED));
}
