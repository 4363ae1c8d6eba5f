// The menus the program builds itself, the change of language, help and About.
#ifndef TARNWICK_LANGUAGE_LANGUAGE_MENUS_H
#define TARNWICK_LANGUAGE_LANGUAGE_MENUS_H

#include <windows.h>

// The notification-area menu and the language submenu in the main menu.
void BuildProgramMenus();
// WM_INITMENUPOPUP: the items of the popup about to open are enabled by the document.
void OnInitMenuPopup(HMENU popup, UINT position);
// Commands 10000 to 19999, 601 and 600.
void ChangeLanguage(UINT command);
void ShowHelp();
void ShowAbout();

#endif
