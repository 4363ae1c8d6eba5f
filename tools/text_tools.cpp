#include "tools/text_tools.h"

#include "app/main_window.h"
#include "app/wait_cursor.h"
#include "language/message_box.h"
#include "language/resource_ids.h"
#include "tools/selection_commands.h"
#include "tools/transforms.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"
#include "view/status_bar.h"

namespace {

// The user's case rules, as the system's case mapping and character types give them.
class SystemCaseRules final : public CaseRules {
  public:
    void ToUpper(Unit* units, std::uint32_t count) const override {
        CharUpperBuffW(reinterpret_cast<wchar_t*>(units), count);
    }
    void ToLower(Unit* units, std::uint32_t count) const override {
        CharLowerBuffW(reinterpret_cast<wchar_t*>(units), count);
    }
    bool Classify(const Unit* units, std::uint32_t count, std::uint16_t* types) const override {
        return count == 0 ||
               GetStringTypeExW(LOCALE_USER_DEFAULT, CT_CTYPE1,
                                reinterpret_cast<const wchar_t*>(units), static_cast<int>(count),
                                reinterpret_cast<WORD*>(types)) != FALSE;
    }
};

static_assert(kUpperType == C1_UPPER && kLowerType == C1_LOWER);

// The transform reads the selection in place from the control's block; the block is given
// back before the control replaces the selection with the result.
template <class Transform> TransformedText TransformSelection(Transform&& transform) {
    TakeCurrentSelection();
    const DWORD length = EditGetTextLength(EditControl);
    const DWORD end = SelectionRecord.SelEnd < length ? SelectionRecord.SelEnd : length;
    const DWORD start = SelectionRecord.SelStart < end ? SelectionRecord.SelStart : end;
    EditTextHandle = EditGetHandle(EditControl);
    const auto* text = static_cast<const Unit*>(LocalLock(EditTextHandle));
    if (text == nullptr) {
        return {};
    }
    TransformedText result = transform(UnitView(text + start, end - start));
    LocalUnlock(EditTextHandle);
    result.selectFrom += start;
    result.selectTo += start;
    return result;
}

template <class Transform> void RunSelectionTransform(Transform&& transform) {
    WaitCursor wait;
    const TransformedText result = TransformSelection(transform);
    if (result.units == nullptr) {
        MessageBoxFromIds(MainWindow, IDS_OUT_OF_MEMORY, IDS_ERROR_CAPTION, MB_ICONERROR);
        return;
    }
    EditReplaceSel(EditControl, reinterpret_cast<const wchar_t*>(result.units.get()));
    SelectionRecord = {result.selectFrom, result.selectTo};
    EditSetSel(EditControl, SelectionRecord.SelStart, SelectionRecord.SelEnd);
}

void RunCaseTransform(TransformedText (*transform)(UnitView, const CaseRules&)) {
    const SystemCaseRules rules;
    RunSelectionTransform([&](UnitView selected) { return transform(selected, rules); });
}

} // namespace

void RunTextTool(UINT command) {
    switch (command) {
    case IDM_EDIT_LOWER_CASE:
        return RunCaseTransform(LowerCaseTransform);
    case IDM_EDIT_UPPER_CASE:
        return RunCaseTransform(UpperCaseTransform);
    case IDM_EDIT_INVERT_CASE:
        return RunCaseTransform(InvertCaseTransform);
    case IDM_EDIT_REVERSE:
        return RunSelectionTransform(ReverseTransform);
    case IDM_HTML_PARAGRAPH:
        return RunSelectionTransform(ParagraphTransform);
    case IDM_HTML_BOLD:
        return RunSelectionTransform(BoldTransform);
    case IDM_HTML_ITALIC:
        return RunSelectionTransform(ItalicTransform);
    case IDM_EDIT_INSERT_DATE_TIME:
        return InsertDateTime();
    case IDM_EDIT_SELECT_ALL:
        return SelectAllText();
    case IDM_EDIT_SELECT_LINE:
        return SelectCurrentLine();
    case IDM_EDIT_DELETE_LINE:
        return DeleteCurrentLine();
    case IDM_EDIT_CLEAR_CLIPBOARD:
        return ClearClipboard();
    default:
        return;
    }
}
