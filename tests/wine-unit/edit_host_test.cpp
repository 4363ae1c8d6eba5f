// The edit control as the program drives it: the colours and the one brush that paint it, the edit
// commands its popup (so the context menu too) offers, and the search in the control's own buffer.
#include "app/handles.h"
#include "app/settings.h"
#include "language/resource_ids.h"
#include "search/replace_all.h"
#include "search/search_context.h"
#include "tests/support/files.h"
#include "tests/wine-unit/edit_window.h"
#include "view/fonts.h"

#include <commdlg.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

class EditHost : public testing::Test {
  protected:
    void SetUp() override {
        library = LoadResources(FolderFromEnvironment(L"TARNWICK_LANGUAGES") + L"English.dll");
        ASSERT_NE(library, nullptr);
        menu = LoadMenuW(library, MAKEINTRESOURCEW(IDR_MAIN_MENU));
        ASSERT_NE(menu, nullptr);
        popup = GetSubMenu(menu, 1);
        SelectionRecord = {0, 0};
        ReplaceAllUndoAvailable = 0;
        SettingValues = DefaultIntegerSettings();
    }
    void TearDown() override {
        DeleteFontsAndBrushes();
        DestroyMenu(menu);
        FreeLibrary(library);
    }

    // Updates the popup as it opens, then expects each command enabled or grayed.
    void Expect(const std::vector<UINT>& commands, bool enabled) const {
        UpdateEditMenu(popup);
        for (UINT command : commands) {
            const UINT state = GetMenuState(popup, command, MF_BYCOMMAND);
            EXPECT_EQ((state & (MF_GRAYED | MF_DISABLED)) == 0, enabled)
                << "command " << command << " has the state " << state;
        }
    }

    EditWindow edit;
    HMODULE library = nullptr;
    HMENU menu = nullptr;
    HMENU popup = nullptr;
};

TEST_F(EditHost, PaintsInTheChosenColoursWithOneBrush) {
    SetSetting(IntKey::BkgColor, RGB(10, 20, 30));
    SetSetting(IntKey::TxtColor, RGB(200, 100, 50));
    HDC context = GetDC(EditControl);
    HBRUSH first = ColourEditControl(context);
    EXPECT_EQ(GetBkColor(context), RGB(10, 20, 30));
    EXPECT_EQ(GetTextColor(context), RGB(200, 100, 50));
    for (int repaint = 0; repaint < 5000; ++repaint) {
        ASSERT_EQ(ColourEditControl(context), first) << "repaint " << repaint;
    }
    SetSetting(IntKey::BkgColor, RGB(255, 0, 0));
    EXPECT_NE(ColourEditControl(context), first);
    EXPECT_EQ(GetObjectType(first), 0u) << "the previous brush was not deleted";
    ReleaseDC(EditControl, context);
}

// Text commands need text, the selection commands the recorded selection, Paste Unicode text on
// the clipboard, and Undo a change of the control's or a Replace All.
TEST_F(EditHost, OffersEachEditCommandWhenThereIsSomethingForIt) {
    const std::vector<UINT> commands = {IDM_EDIT_SELECT_ALL,      IDM_EDIT_SELECT_LINE,
                                        IDM_EDIT_DELETE_LINE,     IDM_EDIT_PASTE,
                                        IDM_EDIT_CLEAR_CLIPBOARD, IDM_EDIT_UNDO};
    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard());
    Expect(commands, false);
    Expect({IDM_EDIT_INSERT_DATE_TIME}, true);
    edit.SetText(L"some text");
    EditSetSel(EditControl, 0, 4);
    EditCopy(EditControl); // the control puts only Unicode text on the clipboard
    ReplaceAllUndoAvailable = 1;
    Expect(commands, true);
    Expect({IDM_EDIT_CUT}, false); // the recorded selection counts, not the control's
    SelectionRecord = {0, 4};
    Expect({IDM_EDIT_CUT, IDM_EDIT_COPY, IDM_EDIT_DELETE, IDM_EDIT_LOWER_CASE, IDM_EDIT_UPPER_CASE,
            IDM_EDIT_INVERT_CASE, IDM_EDIT_REVERSE},
           true);
    ReplaceAllUndoAvailable = 0;
    EditReplaceSel(EditControl, L"typed");
    Expect({IDM_EDIT_UNDO}, true);
}

// The search compares through the system's case forms, so that letters beyond ASCII match in
// either case, and Replace takes the selection when the search calls it equal.
TEST_F(EditHost, SearchesIgnoringCaseThroughTheSystemsCaseFormsInFindAndReplace) {
    edit.SetText(L"x \u017Dlu\u0164ou\u010Dk\u00FD y");
    lstrcpynW(FindString, L"\u017elu\u0165", 130);
    lstrcpynW(ReplaceString, L"2", 130);
    EditSetSel(EditControl, 2, 6);
    ASSERT_TRUE(BeginSearch(FR_DOWN));
    EXPECT_EQ(SearchForwardFrom(0), 2u);
    const ReplaceCurrentResult replaced = ReplaceCurrent();
    EXPECT_EQ(std::pair(replaced.replaced, replaced.nextStart), std::pair(true, 3u));
    EXPECT_EQ(SearchForwardFrom(replaced.nextStart), std::nullopt);
    EndSearch();
    EXPECT_EQ(edit.Text(), L"x 2ou\u010Dk\u00FD y");
    EXPECT_TRUE(EditCanUndo(EditControl)) << "the control's undo takes it back";
}

// Each text starts in a block of exactly its own size: growing it must resize the block, and
// the control must hold and measure the new one.
TEST_F(EditHost, ReplacesAllGrowingOrOverwritingTheControlsOwnBlock) {
    std::wstring lines, longer;
    for (int i = 0; i < 2000; ++i) {
        lines += L"ab\r\n";
        longer += L"a[longer]\r\n";
    }
    const struct {
        std::wstring text, result;
        const wchar_t* replacement;
        std::uint32_t count;
        int lines;
    } cases[] = {{lines, longer, L"[longer]", 2000, 2001}, {L" bb a", L" cc a", L"c", 2, 1}};
    lstrcpynW(FindString, L"b", 130);
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.replacement));
        MovableBlock block((c.text.size() + 1) * sizeof(wchar_t));
        ASSERT_TRUE(block);
        c.text.copy(LockedBlock(block.Get()).As<wchar_t>(), c.text.size());
        GiveTextBlock(block.Release());
        lstrcpynW(ReplaceString, c.replacement, 130);
        ASSERT_TRUE(BeginSearch(FR_MATCHCASE | FR_DOWN));
        const ReplaceAllResult result = ReplaceAllOccurrences();
        EndSearch();
        EXPECT_EQ(std::pair(result.count, result.outOfMemory), std::pair(c.count, false));
        EXPECT_EQ(edit.Text(), c.result);
        EXPECT_EQ(EditGetLineCount(EditControl), c.lines);
        EXPECT_EQ(EditTextHandle, EditGetHandle(EditControl)) << "the control holds another block";
    }
}

} // namespace
