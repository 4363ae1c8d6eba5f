#include "document/document_title.h"

#include "app/main_window.h"
#include "app/text_units.h"
#include "document/document_path.h"
#include "language/percent_template.h"

namespace {

// "* " and the title; the window shows the whole buffer or the title two units further on.
wchar_t TitleBuffer[270] = L"* ";
bool TitleShownMarked;

const wchar_t* Title() {
    return TitleBuffer + 2;
}

// The characters after the last backslash, or the whole path.
const wchar_t* FileNamePart(const wchar_t* path) {
    const wchar_t* name = path;
    for (const wchar_t* p = path; *p != L'\0'; ++p) {
        if (*p == L'\\') {
            name = p + 1;
        }
    }
    return name;
}

} // namespace

void SetDocumentTitle(const wchar_t* name) {
    wchar_t title[268];
    FillPercentTemplate(u"Tarnwick - %", AsUnits(name), AsUnitBuffer(title));
    lstrcpynW(TitleBuffer + 2, title, ARRAYSIZE(TitleBuffer) - 2);
    SetWindowTextW(MainWindow, Title());
    TitleShownMarked = false;
}

void TitleFromDocumentPath() {
    SetDocumentTitle(FileNamePart(DocumentPath));
}

void ShowDocumentTitle(bool marked) {
    if (marked != TitleShownMarked) {
        SetWindowTextW(MainWindow, marked ? TitleBuffer : Title());
        TitleShownMarked = marked;
    }
}
