// The status bar beneath the edit control, and the refresh that keeps it, the recorded
// selection and the title's modified mark up to date.
#ifndef TARNWICK_VIEW_STATUS_BAR_H
#define TARNWICK_VIEW_STATUS_BAR_H

#include <windows.h>

// Null while the status bar is hidden; texts sent to it then go nowhere.
extern HWND StatusBar;

inline constexpr int kStatusBarId = 200;
inline constexpr int kStatusPartPosition = 0;
inline constexpr int kStatusPartLines = 1;
inline constexpr int kStatusPartCharacter = 2;
inline constexpr int kStatusPartMode = 3;
inline constexpr int kStatusPartCaps = 4;
inline constexpr int kStatusPartNum = 5;
inline constexpr int kStatusPartEncoding = 6;
inline constexpr int kStatusPartCount = 8;

// While set, a refresh reports the end of a non-empty selection whatever moved.
extern bool ReportEndOnce;

// One part's text; a null text empties it. The bar shows it once the main window handles
// its messages (kShowStatusTextsMessage), together with every other text given meanwhile.
void SetStatusText(int part, const wchar_t* text);
// kShowStatusTextsMessage: the waiting texts go to the bar.
void ShowQueuedStatusTexts();
// Part 6 shows the label of the current encoding.
void ShowEncodingLabel();
// WM_TIMER 1: the insert mode and the key states as last taken in the edit control.
void ShowKeyStates();

// Creates the status bar with its parts filled, and checks its menu item.
void CreateStatusBar();
// The parts' edges at the window's DPI.
void SetStatusParts();
// At start-up, when the Status setting asks for the bar.
void CreateStatusBarIfShown();
// Command 403.
void ToggleStatusBar();
// WM_DESTROY of the main window: the bar goes with it.
void ForgetStatusBar();

// Brings the status bar, the recorded selection and the title's mark up to date after the
// text or the selection changed. Parts are sent only when their value changed.
void RefreshStatus();
// The edit commands work on SelectionRecord: a selection that the control changed without a
// refresh is taken (with a refresh) before they start.
void TakeCurrentSelection();
// The 0-based line of the position the status bar reports (the selection's start or end).
int ReportedLine();
// The next refresh sends every part again, as for a bar that shows nothing yet.
void ForgetStatusShown();
// The position, line count and character texts again, from a new language library.
void RerenderStatusTexts();
// The caret hook: every location change in the process refreshes the status.
void CALLBACK RefreshStatusOnCaretMove(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object,
                                       LONG child, DWORD thread, DWORD time);

#endif
