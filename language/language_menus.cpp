#include "language/language_menus.h"

#include "app/main_window.h"
#include "document/recent_files.h"
#include "language/resource_ids.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"

// The language submenu, help and About come with the language menus; until then these do
// nothing.
void BuildProgramMenus() {}

void ChangeLanguage(UINT) {}

void ShowHelp() {}

void ShowAbout() {}

// An accelerator also opens its item's popup this way before the system checks whether the
// item is grayed: the Edit and Search items are brought up to date for both, or a key would
// stay dead after its menu was last opened on an empty document.
void OnInitMenuPopup(HMENU, UINT position) {
    switch (position) {
    case 0:
        EnableMenuItem(GetMenu(MainWindow), IDM_FILE_SAVE,
                       MF_BYCOMMAND | (EditGetModify(EditControl) ? MF_ENABLED : MF_GRAYED));
        break;
    case 1:
    case 2:
        UpdateEditMenu(GetMenu(MainWindow));
        break;
    case 5:
        EnableClearRecentFiles(GetMenu(MainWindow));
        break;
    default:
        break;
    }
}
