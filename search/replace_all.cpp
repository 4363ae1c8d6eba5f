#include "search/replace_all.h"

#include "app/wait_cursor.h"
#include "document/recovery.h"
#include "document/typing.h"
#include "language/language_library.h"
#include "language/percent_template.h"
#include "language/resource_ids.h"
#include "search/search_context.h"
#include "search/search_report.h"
#include "view/digit_groups.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"
#include "view/status_bar.h"

int ReplaceAllUndoAvailable;
HLOCAL ReplaceAllSavedText;

namespace {

// A copy made for the Replace All under way; it becomes the undo copy when the Replace All
// replaced something.
HLOCAL PendingCopy;

// The whole text and its terminating zero, in a movable block as the control's own; null
// when there is no memory for it.
HLOCAL CopyWholeText() {
    const BorrowedText& text = SearchText();
    if (text.units == nullptr) {
        return nullptr;
    }
    const SIZE_T bytes = (SIZE_T{text.length} + 1) * sizeof(Unit);
    HLOCAL copy = LocalAlloc(LMEM_MOVEABLE, bytes);
    if (copy == nullptr) {
        return nullptr;
    }
    void* units = LocalLock(copy);
    if (units == nullptr) {
        LocalFree(copy);
        return nullptr;
    }
    CopyMemory(units, text.units, bytes);
    LocalUnlock(copy);
    return copy;
}

void FreePendingCopy() {
    if (PendingCopy != nullptr) {
        LocalFree(PendingCopy);
        PendingCopy = nullptr;
    }
}

bool AskToGoOnWithoutMemory() {
    return AskDuringSearch(IDS_SEARCH_MEMORY_QUESTION, IDS_INFORMATION_CAPTION,
                           MB_YESNO | MB_ICONERROR) == IDYES;
}

// Replaces every occurrence; when memory runs short the user may give up the undo copy for
// one more try. False when the Replace All was abandoned (the text is then unchanged).
bool ReplaceWithMemoryQuestions(ReplaceAllResult& result) {
    result = ReplaceAllOccurrences();
    if (!result.outOfMemory) {
        return true;
    }
    if (!AskToGoOnWithoutMemory()) {
        return false;
    }
    FreePendingCopy();
    result = ReplaceAllOccurrences();
    if (!result.outOfMemory) {
        return true;
    }
    AskDuringSearch(IDS_OUT_OF_MEMORY, IDS_ERROR_CAPTION, MB_ICONERROR);
    return false;
}

void ReportReplacements(std::uint32_t count) {
    wchar_t pattern[256];
    LoadLanguageString(IDS_REPLACE_ALL_COUNT, pattern);
    Unit number[kGroupedNumberCapacity];
    FormatGroupedNumber(count, number);
    wchar_t report[256 + kGroupedNumberCapacity];
    FillPercentTemplate(AsUnits(pattern), UnitView(number), AsUnitBuffer(report));
    AskDuringSearch(report, L"Tarnwick", MB_ICONINFORMATION);
}

} // namespace

void RunReplaceAll() {
    if (SearchText().length < SearchLength()) {
        ReportNothingFound();
        return;
    }
    DropReplaceAllCopy();
    PendingCopy = CopyWholeText();
    if (PendingCopy == nullptr && !AskToGoOnWithoutMemory()) {
        GiveDialogBack();
        return;
    }
    ReplaceAllResult result;
    if (!ReplaceWithMemoryQuestions(result)) {
        FreePendingCopy();
        GiveDialogBack();
        return;
    }
    if (result.count == 0) {
        FreePendingCopy();
        ReportNothingFound();
        return;
    }
    ReplaceAllSavedText = PendingCopy;
    ReplaceAllUndoAvailable = ReplaceAllSavedText != nullptr ? 1 : 0;
    PendingCopy = nullptr;
    InvalidateRect(EditControl, nullptr, TRUE);
    EditSetModify(EditControl, true);
    NoteWholeTextChange();
    NoteRecoveryChange();
    ReportReplacements(result.count);
}

void UndoReplaceAll() {
    WaitCursor wait;
    // The record is cleared before the control takes the block: a change notified while it
    // does so must not free it as an outdated copy.
    const HLOCAL saved = ReplaceAllSavedText;
    ReplaceAllSavedText = nullptr;
    ReplaceAllUndoAvailable = 0;
    GiveTextBlock(saved);
    EditSetModify(EditControl, true);
    NoteWholeTextChange();
    NoteRecoveryChange();
    RefreshStatus();
}

void DropReplaceAllCopy() {
    if (ReplaceAllUndoAvailable) {
        LocalFree(ReplaceAllSavedText);
        ReplaceAllSavedText = nullptr;
        ReplaceAllUndoAvailable = 0;
    }
}
