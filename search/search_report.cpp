#include "search/search_report.h"

#include "app/settings.h"
#include "language/resource_ids.h"
#include "search/find_commands.h"
#include "search/search_context.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"
#include "view/fonts.h"

void ShowMatch(std::uint32_t position, std::uint32_t length) {
    SelectionRecord = {position, position + length};
    EditSetSel(EditControl, SelectionRecord.SelStart, SelectionRecord.SelEnd);
    EditScrollCaret(EditControl);
    if (Setting(IntKey::CenterVertAfterFind) != 0) {
        CenterFoundLine();
    }
}

void ReportNothingFound() {
    EditSetSel(EditControl, SelectionRecord.SelStart, SelectionRecord.SelEnd);
    EditScrollCaret(EditControl);
    AskDuringSearch(IDS_SEARCH_NOT_FOUND, IDS_INFORMATION_CAPTION, MB_ICONINFORMATION);
    GiveDialogBack();
}

void ShowSearchResult(std::optional<std::uint32_t> match, std::uint32_t length) {
    if (match) {
        ShowMatch(*match, length);
    } else {
        ReportNothingFound();
    }
}

void GiveDialogBack() {
    if (FindDialog != nullptr) {
        EnableWindow(FindDialog, TRUE);
        SetFocus(FindDialog);
    }
}

void CenterFoundLine() {
    const int middle = EditGetFirstVisibleLine(EditControl) + VisibleLines / 2;
    EditLineScroll(EditControl, EditLineFromChar(EditControl, -1) - middle);
}
