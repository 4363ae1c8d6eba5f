// The menus the program builds itself, the change of language, help and About.
#ifndef TARNWICK_LANGUAGE_LANGUAGE_MENUS_H
#define TARNWICK_LANGUAGE_LANGUAGE_MENUS_H

#include <windows.h>

// The notification icon's menu (commands 700 and 701).
extern HMENU TrayMenu;
// The language submenu in the Options popup, filled from Languages\ each time it opens.
extern HMENU LanguageSubmenu;

// The notification-area menu and the language submenu in the main menu, in the language of
// the library in use.
void BuildProgramMenus();
// WM_INITMENUPOPUP: the items of the popup about to open are enabled by the document.
void OnInitMenuPopup(HMENU popup, UINT position);
// Commands 10000 to 19999: the library the entry names becomes the language of the program.
void ChangeLanguage(UINT command);
// Command 601.
void ShowHelp();
// Command 600.
void ShowAbout();

#endif
