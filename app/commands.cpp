#include "app/commands.h"

#include "app/main_window.h"
#include "app/settings.h"
#include "app/shared_placement.h"
#include "app/startup.h"
#include "app/window_modes.h"
#include "document/encoding_io.h"
#include "document/file_commands.h"
#include "document/file_io.h"
#include "document/recent_files.h"
#include "document/recovery.h"
#include "document/typing.h"
#include "language/language_menus.h"
#include "language/resource_ids.h"
#include "print/page_setup.h"
#include "print/printing.h"
#include "search/find_commands.h"
#include "search/go_to_line.h"
#include "search/replace_all.h"
#include "tools/text_tools.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"
#include "view/fonts.h"
#include "view/status_bar.h"

#include <shellapi.h>

namespace {

// Command 101: the control's own undo, or the text as it was before the last Replace All.
void Undo() {
    if (ReplaceAllUndoAvailable) {
        UndoReplaceAll();
    } else {
        EditUndo(EditControl);
    }
}

void StartAnotherCopy() {
    ShellExecuteW(nullptr, nullptr, ExePath, nullptr, nullptr, SW_SHOWNORMAL);
}

// The window closes only once the text has reached its file.
void SaveAndExit() {
    StopTyping();
    if (SaveCurrentDocument()) {
        DestroyWindow(MainWindow);
    }
}

void ToggleCenterAfterFind() {
    WriteSetting(IntKey::CenterVertAfterFind, Setting(IntKey::CenterVertAfterFind) != 0 ? 0 : 1);
    CheckMenuItem(GetMenu(MainWindow), IDM_OPTIONS_CENTER_AFTER_FIND,
                  MF_BYCOMMAND |
                      (Setting(IntKey::CenterVertAfterFind) != 0 ? MF_CHECKED : MF_UNCHECKED));
}

// An id the program does not know stops a typing playback, or else closes the window: the
// menu's exit item relies on it.
void UnknownCommand() {
    if (TypingActive.load() != 0) {
        StopTyping();
        return;
    }
    SendMessageW(MainWindow, WM_CLOSE, 0, 0);
}

bool InRange(UINT command, UINT first, UINT last) {
    return command >= first && command <= last;
}

void Dispatch(UINT command) {
    if (InRange(command, IDM_LANGUAGE_FIRST, IDM_LANGUAGE_LAST)) {
        ChangeLanguage(command);
        return;
    }
    if (InRange(command, IDM_FILE_RECENT_FIRST, IDM_FILE_RECENT_LAST)) {
        OpenRecentFile(command);
        return;
    }
    switch (command) {
    case IDM_SEARCH_FIND:
        return OpenFindDialog(false);
    case IDM_SEARCH_REPLACE:
        return OpenFindDialog(true);
    case IDM_SEARCH_FIND_NEXT:
        return FindAgain(true);
    case IDM_SEARCH_FIND_PREVIOUS:
        return FindAgain(false);
    case IDM_SEARCH_GOTO_LINE:
        return GoToLine();
    case IDM_EDIT_SELECT_ALL:
    case IDM_EDIT_SELECT_LINE:
    case IDM_EDIT_DELETE_LINE:
    case IDM_EDIT_CLEAR_CLIPBOARD:
    case IDM_EDIT_LOWER_CASE:
    case IDM_EDIT_UPPER_CASE:
    case IDM_EDIT_INVERT_CASE:
    case IDM_EDIT_REVERSE:
    case IDM_EDIT_INSERT_DATE_TIME:
    case IDM_HTML_PARAGRAPH:
    case IDM_HTML_BOLD:
    case IDM_HTML_ITALIC:
        return RunTextTool(command);
    case IDM_EDIT_UNDO:
        return Undo();
    case IDM_EDIT_PASTE:
        return EditPaste(EditControl);
    case IDM_EDIT_CUT:
        return EditCut(EditControl);
    case IDM_EDIT_COPY:
        return EditCopy(EditControl);
    case IDM_EDIT_DELETE:
        return EditClear(EditControl);
    case IDM_FILE_NEW:
        return NewDocument();
    case IDM_FILE_OPEN:
        return OpenDocument();
    case IDM_FILE_SAVE:
        return SaveDocument();
    case IDM_FILE_SAVE_AS:
        return SaveDocumentAs();
    case IDM_FILE_PAGE_SETUP:
        return ShowPageSetup();
    case IDM_FILE_PRINT:
        return PrintDocument();
    case IDM_FILE_NEW_WINDOW:
        return StartAnotherCopy();
    case IDM_FILE_SAVE_AND_EXIT:
        return SaveAndExit();
    case IDM_FILE_TYPE_OUT:
        return TypeOutDocument();
    case IDM_FILE_TO_TRAY:
        return HideInTray();
    case IDM_FORMAT_WORD_WRAP:
        return ToggleWordWrap();
    case IDM_FORMAT_FONT:
        return ChooseEditFont();
    case IDM_VIEW_STATUS_BAR:
        return ToggleStatusBar();
    case IDM_VIEW_FULL_SCREEN:
        return ToggleFullScreen();
    case IDM_ENCODING_ANSI:
    case IDM_ENCODING_UTF16LE:
        return ChangeCurrentEncoding(command);
    case IDM_OPTIONS_BACKGROUND_COLOR:
        return ChooseBackgroundColour();
    case IDM_OPTIONS_TEXT_COLOR:
        return ChooseTextColour();
    case IDM_OPTIONS_STAY_ON_TOP:
        return ToggleStayOnTop();
    case IDM_OPTIONS_CLEAR_RECENT:
        return ClearRecentFiles();
    case IDM_OPTIONS_NEW_FILE_ANSI:
    case IDM_OPTIONS_NEW_FILE_UTF16LE:
        return ChooseNewFileEncoding(command);
    case IDM_OPTIONS_CENTER_AFTER_FIND:
        return ToggleCenterAfterFind();
    case IDM_HELP_ABOUT:
        return ShowAbout();
    case IDM_HELP_CONTENTS:
        return ShowHelp();
    case IDM_TRAY_RESTORE:
        return RestoreFromTray();
    case IDM_TRAY_EXIT:
        return ExitFromTray();
    default:
        return UnknownCommand();
    }
}

} // namespace

// Commands change the text or the selection (Cut, Paste, Undo, the transforms, a new
// document); the status follows each of them.
void RunCommand(UINT command) {
    Dispatch(command);
    RefreshStatus();
}

void OnControlNotification(UINT control, UINT code) {
    if (control == kEditControlId && code == EN_CHANGE) {
        NoteTextChange();
        NoteRecoveryChange();
        DropReplaceAllCopy();
        RefreshStatus();
    }
}

void TrackMaximizedState(WPARAM systemCommand) {
    switch (systemCommand & 0xFFF0) {
    case SC_MAXIMIZE:
        SetSetting(IntKey::Maximized, 1);
        WindowIsMinMax = 1;
        break;
    case SC_RESTORE:
        SetSetting(IntKey::Maximized, 0);
        WindowIsMinMax = 0;
        break;
    case SC_MINIMIZE:
        SetSetting(IntKey::Maximized, 0);
        WindowIsMinMax = 1;
        break;
    default:
        break;
    }
}
