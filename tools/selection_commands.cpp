#include "tools/selection_commands.h"

#include "view/edit_host.h"
#include "view/edit_ops.h"
#include "view/status_bar.h"

#include <windows.h>

void SelectAllText() {
    SelectionRecord = {0, EditGetTextLength(EditControl)};
    EditSetSel(EditControl, SelectionRecord.SelStart, SelectionRecord.SelEnd);
    ReportEndOnce = true;
    RefreshStatus();
    ReportEndOnce = false;
    EditScrollCaret(EditControl);
}

// The selection ends where the next line starts, so it takes exactly the line's own break:
// CR LF, a lone LF, the control's CR CR LF of a soft break, or the blanks of a wrap.
void SelectCurrentLine() {
    TakeCurrentSelection();
    const int line = ReportedLine();
    const int start = EditLineIndex(EditControl, line);
    int end = start + EditLineLength(EditControl, start);
    if (line + 1 < EditGetLineCount(EditControl)) {
        end = EditLineIndex(EditControl, line + 1);
    }
    SelectionRecord = {static_cast<DWORD>(start), static_cast<DWORD>(end)};
    EditSetSel(EditControl, start, end);
}

void DeleteCurrentLine() {
    SelectCurrentLine();
    EditClear(EditControl);
}

void InsertDateTime() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t date[256] = L"";
    wchar_t time[512] = L"";
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_LONGDATE, &now, nullptr, date, ARRAYSIZE(date));
    GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_FORCE24HOURFORMAT, &now, nullptr, time,
                   ARRAYSIZE(time));
    wchar_t text[ARRAYSIZE(time) + 1 + ARRAYSIZE(date)];
    lstrcpyW(text, time);
    lstrcatW(text, L" ");
    lstrcatW(text, date);
    EditReplaceSel(EditControl, text);
}

void ClearClipboard() {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}
