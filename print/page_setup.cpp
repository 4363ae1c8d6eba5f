#include "print/page_setup.h"

#include "view/edit_host.h"

PAGESETUPDLGW PageSetupRecord;

void InitPageSetupRecord(HWND owner) {
    PageSetupRecord = {};
    PageSetupRecord.lStructSize = sizeof PageSetupRecord;
    PageSetupRecord.hwndOwner = owner;
    PageSetupRecord.Flags = PSD_MARGINS;
    PageSetupRecord.ptPaperSize = {21000, 29700};
    PageSetupRecord.rtMargin = {2000, 2500, 2000, 2500};
}

void ShowPageSetup() {
    PageSetupDlgW(&PageSetupRecord);
    SetFocus(EditControl);
}

void TakeDefaultPrinter() {
    if (PageSetupRecord.hDevNames != nullptr) {
        return;
    }
    // Only the printer is wanted. Some systems also rewrite the paper size (in a unit of their
    // own) and the unit flags, which would scale the margins by a paper of another unit.
    const PAGESETUPDLGW before = PageSetupRecord;
    PageSetupRecord.Flags |= PSD_RETURNDEFAULT | PSD_NOWARNING;
    PageSetupDlgW(&PageSetupRecord);
    PageSetupRecord.Flags = before.Flags;
    PageSetupRecord.ptPaperSize = before.ptPaperSize;
    PageSetupRecord.rtMargin = before.rtMargin;
    PageSetupRecord.rtMinMargin = before.rtMinMargin;
}
