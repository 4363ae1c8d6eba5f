#include "app/startup.h"

#include "app/dpi.h"

#include "app/path_rules.h"
#include "app/settings_table.h"

HINSTANCE Instance;
wchar_t ExePath[MAX_PATH];
wchar_t ExeFolder[MAX_PATH];
wchar_t HelpFolder[MAX_PATH];
wchar_t IniPath[MAX_PATH];
int ScreenWidth;
int ScreenHeight;

namespace {

// The module path, or an empty one when the system had to cut it: a truncated path would
// name some other folder.
void ReadExePath() {
    const DWORD length = GetModuleFileNameW(nullptr, ExePath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        ExePath[0] = L'\0';
    }
}

} // namespace

void InitPaths() {
    Instance = GetModuleHandleW(nullptr);
    ReadExePath();
    if (!GetFolderOfPath(AsUnitBuffer(ExeFolder), AsUnits(ExePath))) {
        ExeFolder[0] = L'\0';
    }
    MakeExeRelativePath(L"Help\\", HelpFolder);
    MakeExeRelativePath(AsWide(kSettingsFileName), IniPath);
    ScreenWidth = ScaleTo96(GetSystemMetrics(SM_CXSCREEN));
    ScreenHeight = ScaleTo96(GetSystemMetrics(SM_CYSCREEN));
}

wchar_t* MakeExeRelativePath(const wchar_t* name, wchar_t* destination) {
    (void)ComposePath(UnitBuffer(reinterpret_cast<Unit*>(destination), MAX_PATH),
                      AsUnits(ExeFolder), AsUnits(name));
    return destination;
}
