// RefreshStatus runs on every caret move: it compares the selection, the line count and the
// character code with what the bar last showed and formats only the parts that changed.
#include "app/main_window.h"
#include "document/document_title.h"
#include "document/file_io.h"
#include "document/typing.h"
#include "language/language_library.h"
#include "language/percent_template.h"
#include "language/resource_ids.h"
#include "view/digit_groups.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"
#include "view/status_bar.h"
#include "view/status_rules.h"

bool ReportEndOnce;

namespace {

// What the bar last showed; all ones stand for nothing shown yet.
constexpr DWORD kNothingShown = 0xFFFFFFFF;
struct Shown {
    DWORD start = kNothingShown;
    DWORD end = kNothingShown;
    DWORD lines = kNothingShown;
    DWORD code = 0;
};
Shown StatusShown;

ReportedEnd Reported = ReportedEnd::End;
DWORD CaretLine;
DWORD CaretColumn;
DWORD SelectionLength;
DWORD LineCount;

// wsprintfW writes at most 1024 units and the terminator.
constexpr int kFormattedCapacity = 1025;

// The templates of the library in use, loaded when first needed and again after a change of
// library, rather than on every caret move. The character template has room for the second
// unit of a surrogate pair.
constexpr wchar_t kSecondUnit[] = L" 0x%.2X";
wchar_t PositionTemplate[256];
wchar_t LinesTemplate[256];
wchar_t CharacterTemplate[256 + ARRAYSIZE(kSecondUnit)];
wchar_t PairTemplate[256 + ARRAYSIZE(kSecondUnit)];
bool TemplatesLoaded;

void LoadTemplates() {
    LoadLanguageString(IDS_STATUS_POSITION, PositionTemplate);
    LoadLanguageString(IDS_STATUS_LINES, LinesTemplate);
    wchar_t character[256];
    LoadLanguageString(IDS_STATUS_CHARACTER, character);
    lstrcpynW(CharacterTemplate, character, ARRAYSIZE(CharacterTemplate));
    lstrcpynW(PairTemplate, character, ARRAYSIZE(PairTemplate));
    lstrcatW(PairTemplate, kSecondUnit);
    TemplatesLoaded = true;
}

void LoadTemplatesOnce() {
    if (!TemplatesLoaded) {
        LoadTemplates();
    }
}

DWORD ReportedPosition() {
    return Reported == ReportedEnd::Start ? SelectionRecord.SelStart : SelectionRecord.SelEnd;
}

struct GroupedNumber {
    explicit GroupedNumber(DWORD value) {
        FormatGroupedNumber(value, std::span<Unit, kGroupedNumberCapacity>(
                                       reinterpret_cast<Unit*>(text), kGroupedNumberCapacity));
    }
    wchar_t text[kGroupedNumberCapacity];
};

void TakeCaretPosition() {
    const DWORD position = ReportedPosition();
    const int line = EditLineFromChar(EditControl, position);
    CaretLine = static_cast<DWORD>(line) + 1;
    CaretColumn = position - static_cast<DWORD>(EditLineIndex(EditControl, line)) + 1;
}

void ShowPosition() {
    LoadTemplatesOnce();
    const GroupedNumber line(CaretLine);
    const GroupedNumber column(CaretColumn);
    const GroupedNumber length(SelectionLength);
    wchar_t text[kFormattedCapacity];
    wsprintfW(text, PositionTemplate, line.text, column.text, length.text);
    SetStatusText(kStatusPartPosition, text);
}

void ShowLineCount() {
    LoadTemplatesOnce();
    const GroupedNumber lines(LineCount);
    wchar_t text[kFormattedCapacity];
    FillPercentTemplate(AsUnits(LinesTemplate), AsUnits(lines.text), AsUnitBuffer(text));
    SetStatusText(kStatusPartLines, text);
}

struct CharacterAt {
    DWORD code = 0; // 0 for none
    Unit first = 0;
    Unit second = 0;
};

// The unit at the position and the one after it (the terminator after the last character),
// read from the control's own block; no code at or beyond the end of the text.
CharacterAt ReadCharacterAt(DWORD position) {
    CharacterAt character;
    if (position >= EditGetTextLength(EditControl)) {
        return character;
    }
    const auto* text = static_cast<const Unit*>(LocalLock(EditTextHandle));
    if (text == nullptr) {
        return character;
    }
    character.first = text[position];
    character.second = text[position + 1];
    LocalUnlock(EditTextHandle);
    character.code = CharacterCode(character.first, character.second);
    return character;
}

void ShowCharacter(const CharacterAt& character) {
    if (character.code == 0) {
        SetStatusText(kStatusPartCharacter, nullptr);
        return;
    }
    LoadTemplatesOnce();
    wchar_t text[kFormattedCapacity];
    if (IsSurrogate(character.first)) {
        wsprintfW(text, PairTemplate, static_cast<unsigned>(character.code),
                  static_cast<unsigned>(character.first), static_cast<unsigned>(character.second));
    } else {
        wsprintfW(text, CharacterTemplate, static_cast<unsigned>(character.first),
                  static_cast<unsigned>(character.first));
    }
    SetStatusText(kStatusPartCharacter, text);
}

// The title shows "* " while the document is modified, except while a file is typed out (its
// undo is emptied instead) and for a new document emptied again (which then counts as
// unmodified).
void ShowTitleMark() {
    bool marked = false;
    if (EditGetModify(EditControl)) {
        if (TypingActive.load() != 0) {
            EditEmptyUndoBuffer(EditControl);
        } else if (Untitled && EditGetTextLength(EditControl) == 0) {
            EditSetModify(EditControl, false);
        } else {
            marked = true;
        }
    }
    ShowDocumentTitle(marked);
}

// The parts whose values changed; with the bar hidden nothing is measured.
void ShowChangedParts(bool positionMoved) {
    LineCount = static_cast<DWORD>(EditGetLineCount(EditControl));
    const bool linesChanged = LineCount != StatusShown.lines;
    const CharacterAt character = ReadCharacterAt(ReportedPosition());
    const bool characterChanged = character.code != StatusShown.code;
    if (positionMoved) {
        TakeCaretPosition();
        ShowPosition();
    }
    if (linesChanged) {
        ShowLineCount();
    }
    if (characterChanged) {
        ShowCharacter(character);
    }
    StatusShown.lines = LineCount;
    StatusShown.code = character.code;
}

} // namespace

void RefreshStatus() {
    if (!IsWindow(EditControl)) {
        return;
    }
    const EditSelection selection = EditGetSel(EditControl);
    SelectionRecord = {selection.start, selection.end};
    SelectionLength = selection.end - selection.start;
    const ReportChoice choice =
        ChooseReportedEnd({StatusShown.start, StatusShown.end}, {selection.start, selection.end},
                          ReportEndOnce, Reported);
    Reported = choice.reported;
    if (StatusBar != nullptr) {
        ShowChangedParts(choice.redraw);
    }
    StatusShown.start = selection.start;
    StatusShown.end = selection.end;
    ShowTitleMark();
}

void TakeCurrentSelection() {
    const EditSelection selection = EditGetSel(EditControl);
    if (selection.start != SelectionRecord.SelStart || selection.end != SelectionRecord.SelEnd) {
        RefreshStatus();
    }
}

int ReportedLine() {
    return EditLineFromChar(EditControl, ReportedPosition());
}

void ForgetStatusShown() {
    StatusShown = Shown{kNothingShown, kNothingShown, kNothingShown, kNothingShown};
}

void RerenderStatusTexts() {
    LoadTemplates();
    if (StatusBar == nullptr) {
        return;
    }
    ShowPosition();
    ShowLineCount();
    ShowCharacter(ReadCharacterAt(ReportedPosition()));
}

void CALLBACK RefreshStatusOnCaretMove(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) {
    RefreshStatus();
}
