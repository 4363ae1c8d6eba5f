#include "search/search_context.h"

#include "app/main_window.h"
#include "app/settings.h"
#include "language/language_library.h"
#include "search/find_commands.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"
#include "view/status_bar.h"

#include <commdlg.h>

namespace {

// The largest text the edit control takes (EM_LIMITTEXT with 0).
constexpr std::uint32_t kLargestEditText = 0x7FFFFFFE;

struct SearchContext {
    HLOCAL handle = nullptr;
    BorrowedText text;
    SearchPattern pattern;
    wchar_t* upperForm = nullptr;
    wchar_t* lowerForm = nullptr;
    bool open = false;
};

SearchContext Context;

// A block that cannot be locked counts as an empty text: nothing is found in it and nothing
// is written to it.
void LockText() {
    EditTextHandle = Context.handle;
    Context.text.units = static_cast<Unit*>(LocalLock(Context.handle));
    Context.text.length = Context.text.units != nullptr ? EditGetTextLength(EditControl) : 0;
}

// The control may have moved its buffer after a change through its own messages.
void RelockText() {
    LocalUnlock(Context.handle);
    Context.handle = EditGetHandle(EditControl);
    LockText();
}

wchar_t* CaseForm(const wchar_t* text, std::size_t length, bool upper) {
    auto* form = static_cast<wchar_t*>(LocalAlloc(LPTR, (length + 1) * sizeof(wchar_t)));
    if (form == nullptr) {
        return nullptr;
    }
    CopyMemory(form, text, length * sizeof(wchar_t));
    if (upper) {
        CharUpperW(form);
    } else {
        CharLowerW(form);
    }
    return form;
}

void FreeCaseForms() {
    if (Context.upperForm != nullptr) {
        LocalFree(Context.upperForm);
    }
    if (Context.lowerForm != nullptr) {
        LocalFree(Context.lowerForm);
    }
    Context.upperForm = nullptr;
    Context.lowerForm = nullptr;
}

// The block that the edit control holds, resized by Replace All once to its final size.
class EditBlockMemory final : public ReplaceAllMemory {
  public:
    Unit* ResizeText(std::uint32_t length) override {
        LocalUnlock(Context.handle);
        HLOCAL resized = LocalReAlloc(Context.handle, (SIZE_T{length} + 1) * sizeof(wchar_t),
                                      LMEM_MOVEABLE | LMEM_ZEROINIT);
        if (resized == nullptr) {
            Context.text.units = static_cast<Unit*>(LocalLock(Context.handle));
            return nullptr;
        }
        Context.handle = resized;
        EditTextHandle = resized;
        return static_cast<Unit*>(LocalLock(resized));
    }
    std::uint32_t MaxTextLength() const override { return kLargestEditText; }
};

bool LocaleEqual(UnitView selected, UnitView findString) {
    const DWORD flags = SORT_STRINGSORT | (Context.pattern.matchCase ? 0 : NORM_IGNORECASE);
    return CompareStringW(LOCALE_USER_DEFAULT, flags, AsWide(selected),
                          static_cast<int>(selected.size()), AsWide(findString),
                          static_cast<int>(findString.size())) == CSTR_EQUAL;
}

bool HasLineBreak(UnitView text) {
    return text.find_first_of(u"\r\n") != UnitView::npos;
}

// The control measures its lines only when it takes a block. A text of another length, line
// breaks taken out or put in, or wrapped lines (where every unit's width counts) need that; a
// replacement of the same length elsewhere needs only the repaint that follows.
bool ControlMustMeasureAgain(std::uint32_t lengthBefore, UnitView findString,
                             UnitView replacement) {
    return Context.text.length != lengthBefore || HasLineBreak(findString) ||
           HasLineBreak(replacement) || Setting(IntKey::Wrap) != 0;
}

} // namespace

bool BeginSearch(DWORD flags) {
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    Context.handle = EditGetHandle(EditControl);
    LockText();
    const EditSelection selection = EditGetSel(EditControl);
    SelectionRecord = {selection.start, selection.end};
    const std::size_t n = static_cast<std::size_t>(lstrlenW(FindString));
    Context.pattern = SearchPattern{UnitView(reinterpret_cast<const Unit*>(FindString), n),
                                    (flags & FR_MATCHCASE) != 0,
                                    {},
                                    {}};
    Context.open = true;
    if (Context.pattern.matchCase) {
        return true;
    }
    Context.upperForm = CaseForm(FindString, n, true);
    Context.lowerForm = CaseForm(FindString, n, false);
    if (Context.upperForm == nullptr || Context.lowerForm == nullptr) {
        EndSearch();
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    Context.pattern.upperForm = UnitView(reinterpret_cast<const Unit*>(Context.upperForm), n);
    Context.pattern.lowerForm = UnitView(reinterpret_cast<const Unit*>(Context.lowerForm), n);
    return true;
}

std::optional<std::uint32_t> SearchFromSelection(bool down) {
    return FindNext(Context.text, Context.pattern, SelectionRecord.SelStart, SelectionRecord.SelEnd,
                    down);
}

std::optional<std::uint32_t> SearchForwardFrom(std::uint32_t start) {
    return FindForward(Context.text, Context.pattern, start);
}

ReplaceCurrentResult ReplaceCurrent() {
    const std::uint32_t start = SelectionRecord.SelStart;
    if (!SelectionIsCurrentMatch(Context.text, Context.pattern, start, SelectionRecord.SelEnd,
                                 LocaleEqual)) {
        return {false, start};
    }
    const auto r = static_cast<std::uint32_t>(lstrlenW(ReplaceString));
    EditReplaceSel(EditControl, ReplaceString);
    // The control's change notification has recorded the caret after the insert meanwhile.
    SelectionRecord = {start, start + r};
    RelockText();
    return {true, start + r};
}

ReplaceAllResult ReplaceAllOccurrences() {
    EditBlockMemory memory;
    const std::uint32_t lengthBefore = Context.text.length;
    const UnitView replacement(reinterpret_cast<const Unit*>(ReplaceString),
                               static_cast<std::size_t>(lstrlenW(ReplaceString)));
    const ReplaceAllResult result = ReplaceAll(Context.text, Context.pattern, replacement, memory);
    if (result.count > 0 &&
        ControlMustMeasureAgain(lengthBefore, Context.pattern.findString, replacement)) {
        LocalUnlock(Context.handle);
        EditSetHandle(EditControl, Context.handle);
        LockText();
    }
    return result;
}

std::uint32_t SearchLength() {
    return static_cast<std::uint32_t>(Context.pattern.findString.size());
}

const BorrowedText& SearchText() {
    return Context.text;
}

int AskDuringSearch(const wchar_t* text, const wchar_t* caption, UINT type) {
    LocalUnlock(Context.handle);
    // The box disables its owner; a Find dialog as the owner leaves the main window to us.
    HWND owner = FindDialog != nullptr ? FindDialog : MainWindow;
    const bool disabled = owner != MainWindow && !EnableWindow(MainWindow, FALSE);
    const int answer = MessageBoxW(owner, text, caption, type);
    if (disabled) {
        EnableWindow(MainWindow, TRUE);
    }
    Context.handle = EditGetHandle(EditControl);
    LockText();
    return answer;
}

int AskDuringSearch(UINT textId, UINT captionId, UINT type) {
    wchar_t text[256];
    wchar_t caption[256];
    LoadLanguageString(textId, text);
    LoadLanguageString(captionId, caption);
    return AskDuringSearch(text, caption, type);
}

void EndSearch() {
    if (!Context.open) {
        return;
    }
    LocalUnlock(Context.handle);
    FreeCaseForms();
    Context = SearchContext{};
    RefreshStatus();
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}
