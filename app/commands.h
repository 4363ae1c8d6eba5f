// Every menu, accelerator, context-menu and notification-menu command reaches its handler
// here.
#ifndef TARNWICK_APP_COMMANDS_H
#define TARNWICK_APP_COMMANDS_H

#include <windows.h>

// WM_COMMAND with code 0 (menu) or 1 (accelerator).
void RunCommand(UINT command);
// WM_COMMAND from a control: an edit after a Replace All ends the chance to take it back.
void OnControlNotification(UINT control, UINT code);
// WM_SYSCOMMAND: the maximized state follows the system commands.
void TrackMaximizedState(WPARAM systemCommand);

#endif
