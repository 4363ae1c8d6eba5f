// The edit control as its host sets it up: the colours and the one brush that paint it, its
// line height, and which edit commands the edit popup (and so the context menu) offers.
#include "app/settings.h"
#include "language/resource_ids.h"
#include "search/replace_all.h"
#include "tests/support/files.h"
#include "tests/wine-unit/edit_window.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"
#include "view/fonts.h"

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

TEST_F(EditHost, PaintsInTheChosenColoursWithOneBrushAndMeasuresALineWithoutAFont) {
    SetSetting(IntKey::BkgColor, RGB(10, 20, 30));
    SetSetting(IntKey::TxtColor, RGB(200, 100, 50));
    HDC context = GetDC(EditControl);
    HBRUSH first = ColourEditControl(context);
    EXPECT_EQ(GetBkColor(context), RGB(10, 20, 30));
    EXPECT_EQ(GetTextColor(context), RGB(200, 100, 50));
    LOGBRUSH description{};
    ASSERT_NE(GetObjectW(first, sizeof description, &description), 0);
    EXPECT_EQ(description.lbColor, RGB(10, 20, 30));
    for (int repaint = 0; repaint < 5000; ++repaint) {
        ASSERT_EQ(ColourEditControl(context), first) << "repaint " << repaint;
    }
    SetSetting(IntKey::BkgColor, RGB(255, 0, 0));
    EXPECT_NE(ColourEditControl(context), first);
    EXPECT_EQ(GetObjectType(first), 0u) << "the previous brush was not deleted";
    ReleaseDC(EditControl, context);

    // Without a font of the program's, the control's own gives the line height.
    MeasureLineHeight();
    EXPECT_GT(LineHeight, 0);
    CountVisibleLines();
    EXPECT_GE(VisibleLines, 0);
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

} // namespace
