#include "app/main_window.h"

#include "app/command_line.h"
#include "document/document_path.h"
#include "language/message_box.h"
#include "language/resource_ids.h"

#include <commctrl.h>

HWND MainWindow;

namespace {

// The file named on the command line goes into DocumentPath; a name too long for any path
// buffer is refused with a message and a new document is started instead.
void TakeCommandLineFileName(const wchar_t* commandLine) {
    if (GetCommandLineFileName(AsUnits(commandLine), AsUnitBuffer(DocumentPath)) ==
        CommandLineName::TooLong) {
        MessageBoxFromIds(nullptr, IDS_NAME_TOO_LONG, IDS_INFORMATION_CAPTION, MB_OK);
    }
}

} // namespace

int RunMainWindow(HINSTANCE, const wchar_t* commandLine, int) {
    INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                 ICC_HOTKEY_CLASS | ICC_ANIMATE_CLASS | ICC_DATE_CLASSES |
                                     ICC_USEREX_CLASSES | ICC_COOL_CLASSES | ICC_INTERNET_CLASSES |
                                     ICC_PAGESCROLLER_CLASS};
    InitCommonControlsEx(&classes);
    TakeCommandLineFileName(commandLine);
    return 0;
}
