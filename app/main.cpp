// The entry procedure: paths, settings and language library, then the main window.
#include "app/dpi.h"
#include "app/main_window.h"
#include "app/path_rules.h"
#include "app/settings.h"
#include "app/shared_placement.h"
#include "app/startup.h"
#include "language/language_library.h"
#include "language/library_table.h"

#include <commctrl.h>

namespace {

// The chosen library, or else English.dll from the same folder. Without any library there
// are no texts to show, so the two messages here are the program's own.
bool StartLanguageLibrary() {
    LanguageLibrary = LoadLanguageLibrary();
    if (LanguageLibrary != nullptr) {
        return true;
    }
    MessageBoxW(nullptr, L"Language Library loading error.", nullptr, MB_ICONHAND);
    // Only the file name changes: the folder of the chosen library stays.
    wchar_t folder[MAX_PATH];
    (void)GetFolderOfPath(AsUnitBuffer(folder), AsUnits(LanguagePath));
    (void)ComposePath(AsUnitBuffer(LanguagePath), AsUnits(folder), kEnglishLibraryName);
    // In memory only: the file keeps the user's choice until another language is picked.
    SetSetting(IntKey::Language, kLanguageEnglish);
    LanguageLibrary = LoadLanguageLibraryAtPath();
    if (LanguageLibrary == nullptr) {
        MessageBoxW(nullptr, L"Default Language Library loading error.", nullptr, MB_ICONHAND);
        return false;
    }
    (void)CopyTerminated(AsUnitBuffer(LanguageFileName), kEnglishLibraryName);
    return true;
}

// The show state asked for by the launching process is not used: the window comes back
// the way it was left.
int InitialShowCommand() {
    if (Setting(IntKey::Maximized) != 0) {
        WindowIsMinMax = 1;
        return SW_SHOWMAXIMIZED;
    }
    return SW_SHOWNORMAL;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Libraries the program itself depends on come from the system folder only.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    InitCommonControls();
    InitDpi();
    InitPaths();
    SettingsLoad();
    if (!StartLanguageLibrary()) {
        ExitProcess(1);
    }
    const int showCommand = InitialShowCommand();
    ExitProcess(static_cast<UINT>(RunMainWindow(Instance, GetCommandLineW(), showCommand)));
}
