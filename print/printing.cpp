#include "print/printing.h"

#include "app/main_window.h"
#include "document/document_path.h"
#include "document/file_io.h"
#include "language/language_library.h"
#include "language/message_box.h"
#include "language/resource_ids.h"
#include "print/page_layout.h"
#include "print/page_setup.h"
#include "print/print_job.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"
#include "view/fonts.h"

#include <commdlg.h>
#include <cstring>

namespace {

// A copy of a movable block: the print dialog may free or replace the blocks it is given, and
// the page set-up record's own blocks must stay valid.
bool CopyBlock(HGLOBAL block, HGLOBAL& copy) {
    copy = nullptr;
    if (block == nullptr) {
        return true;
    }
    const SIZE_T size = GlobalSize(block);
    const void* source = GlobalLock(block);
    if (source != nullptr) {
        copy = GlobalAlloc(GMEM_MOVEABLE, size);
        if (void* target = copy != nullptr ? GlobalLock(copy) : nullptr) {
            std::memcpy(target, source, size);
            GlobalUnlock(copy);
        } else if (copy != nullptr) {
            copy = GlobalFree(copy);
        }
    }
    GlobalUnlock(block);
    return copy != nullptr;
}

// The print dialog's request and what it gives back, freed when the job is over.
class PrintRequest {
  public:
    PRINTDLGW record{};

    PrintRequest(const PrintRequest&) = delete;
    PrintRequest& operator=(const PrintRequest&) = delete;
    PrintRequest() {
        record.lStructSize = sizeof record;
        record.hwndOwner = MainWindow;
        record.Flags = PD_RETURNDC | PD_NOSELECTION | PD_DISABLEPRINTTOFILE;
    }
    ~PrintRequest() {
        if (record.hDC != nullptr) {
            DeleteDC(record.hDC);
        }
        GlobalFree(record.hDevMode);
        GlobalFree(record.hDevNames);
    }

    // Shows the print dialog for the page set-up's printer; false when it is cancelled or fails.
    bool Ask(bool& outOfMemory) {
        outOfMemory = !CopyBlock(PageSetupRecord.hDevMode, record.hDevMode) ||
                      !CopyBlock(PageSetupRecord.hDevNames, record.hDevNames);
        return !outOfMemory && PrintDlgW(&record) && record.hDC != nullptr;
    }
};

// The screen font's face and style at the size of the font dialog's record, which is ten
// points until a font is chosen in this run, whatever the screen font's size.
HFONT CreatePrintFont(HDC printer) {
    LOGFONTW font = EditLogFont;
    font.lfHeight =
        PrintFontHeight(GetDeviceCaps(printer, LOGPIXELSY), FontDialogRecord.iPointSize);
    return CreateFontIndirectW(&font);
}

// The margins are kept in proportion to the paper size of the page set-up, in whatever unit
// it was given, and become device units on the sheet.
DeviceRect MarginsOnSheet(HDC printer, const SheetGeometry& sheet) {
    POINT corners[2] = {{PageSetupRecord.rtMargin.left, PageSetupRecord.rtMargin.top},
                        {PageSetupRecord.rtMargin.right, PageSetupRecord.rtMargin.bottom}};
    SetMapMode(printer, MM_ANISOTROPIC);
    SetViewportExtEx(printer, sheet.physicalWidth, sheet.physicalHeight, nullptr);
    SetWindowExtEx(printer, PageSetupRecord.ptPaperSize.x, PageSetupRecord.ptPaperSize.y, nullptr);
    LPtoDP(printer, corners, 2);
    SetMapMode(printer, MM_TEXT);
    return {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

// Where the text goes; an empty rectangle when the margins leave no room for one line.
DeviceRect FindTextRectangle(HDC printer) {
    const SheetGeometry sheet{
        GetDeviceCaps(printer, PHYSICALWIDTH),   GetDeviceCaps(printer, PHYSICALHEIGHT),
        GetDeviceCaps(printer, PHYSICALOFFSETX), GetDeviceCaps(printer, PHYSICALOFFSETY),
        GetDeviceCaps(printer, HORZRES),         GetDeviceCaps(printer, VERTRES)};
    TEXTMETRICW metrics;
    if (PageSetupRecord.ptPaperSize.x <= 0 || PageSetupRecord.ptPaperSize.y <= 0 ||
        !GetTextMetricsW(printer, &metrics)) {
        return {};
    }
    const DeviceRect rectangle = TextRectangleOnSheet(sheet, MarginsOnSheet(printer, sheet));
    return HoldsOneLine(rectangle, metrics.tmHeight) ? rectangle : DeviceRect{};
}

// The job's name in the spooler: the document's path, or the name of a new document.
void JobName(wchar_t (&name)[MAX_PATH]) {
    if (Untitled) {
        LoadLanguageString(IDS_UNTITLED, name);
    } else {
        lstrcpynW(name, DocumentPath, MAX_PATH);
    }
}

enum class JobResult { Printed, Cancelled, Failed };

// Draws and spools the job with the font selected; the text is locked only while the job runs
// (StartDocW may show a dialog of its own, during which the control may move its text).
JobResult RunJob(HDC printer, const DeviceRect& rectangle, int copies) {
    wchar_t name[MAX_PATH];
    JobName(name);
    DOCINFOW job{};
    job.cbSize = sizeof job;
    job.lpszDocName = name;
    if (StartDocW(printer, &job) <= 0) {
        return GetLastError() == ERROR_CANCELLED ? JobResult::Cancelled : JobResult::Failed;
    }
    EditTextHandle = EditGetHandle(EditControl);
    const auto* text = static_cast<const wchar_t*>(LocalLock(EditTextHandle));
    if (text == nullptr) {
        AbortDoc(printer);
        return JobResult::Failed;
    }
    const bool printed = PrintPages(printer, text, wcslen(text), rectangle, copies);
    LocalUnlock(EditTextHandle);
    return printed ? JobResult::Printed : JobResult::Failed;
}

JobResult PrintWithFont(HDC printer, int copies) {
    HFONT font = CreatePrintFont(printer);
    if (font == nullptr) {
        return JobResult::Failed;
    }
    const HGDIOBJ previous = SelectObject(printer, font);
    const DeviceRect rectangle = FindTextRectangle(printer);
    const JobResult result =
        rectangle.right > rectangle.left ? RunJob(printer, rectangle, copies) : JobResult::Failed;
    SelectObject(printer, previous);
    DeleteObject(font);
    return result;
}

enum class PrintOutcome { Done, OutOfMemory, Failed };

// The dialog, the job and its clean-up; whatever the dialog gave back is freed on return.
PrintOutcome AskAndPrint() {
    TakeDefaultPrinter();
    PrintRequest request;
    bool outOfMemory = false;
    if (!request.Ask(outOfMemory)) {
        return outOfMemory ? PrintOutcome::OutOfMemory : PrintOutcome::Done;
    }
    if (EditGetTextLength(EditControl) == 0) {
        return PrintOutcome::Done;
    }
    EnableWindow(MainWindow, FALSE);
    const int copies = request.record.nCopies > 0 ? request.record.nCopies : 1;
    const JobResult result = PrintWithFont(request.record.hDC, copies);
    EnableWindow(MainWindow, TRUE);
    return result == JobResult::Failed ? PrintOutcome::Failed : PrintOutcome::Done;
}

} // namespace

void PrintDocument() {
    const PrintOutcome outcome = AskAndPrint();
    SetFocus(EditControl);
    if (outcome == PrintOutcome::OutOfMemory) {
        MessageBoxFromIds(MainWindow, IDS_OUT_OF_MEMORY, IDS_ERROR_CAPTION, MB_ICONERROR);
    } else if (outcome == PrintOutcome::Failed) {
        MessageBoxFromIds(MainWindow, IDS_PRINT_FAILED, IDS_ERROR_CAPTION, MB_ICONERROR);
    }
}
