// Which edit commands the edit popup (and so the context menu) offers.
#include "language/language_library.h"
#include "language/resource_ids.h"
#include "search/replace_all.h"
#include "tests/support/files.h"
#include "tests/wine-unit/edit_window.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class EditMenu : public testing::Test {
  protected:
    void SetUp() override {
        library = LoadResources(FolderFromEnvironment(L"TARNWICK_LANGUAGES") + L"English.dll");
        ASSERT_NE(library, nullptr);
        menu = LoadMenuW(library, MAKEINTRESOURCEW(IDR_MAIN_MENU));
        ASSERT_NE(menu, nullptr);
        popup = GetSubMenu(menu, 1);
        SelectionRecord = {0, 0};
        ReplaceAllUndoAvailable = 0;
    }
    void TearDown() override {
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

TEST_F(EditMenu, GraysTheTextCommandsOfAnEmptyDocumentAndTheSelectionCommandsByTheRecord) {
    const std::vector<UINT> textCommands = {IDM_EDIT_SELECT_ALL, IDM_EDIT_SELECT_LINE,
                                            IDM_EDIT_DELETE_LINE};
    Expect(textCommands, false);
    Expect({IDM_EDIT_INSERT_DATE_TIME}, true);
    edit.SetText(L"some text");
    EditSetSel(EditControl, 0, 4);
    Expect(textCommands, true);
    Expect({IDM_EDIT_CUT}, false); // the recorded selection counts, not the control's
    SelectionRecord = {0, 4};
    std::vector<UINT> selectionCommands;
    for (UINT command = IDM_EDIT_CUT; command <= IDM_EDIT_REVERSE; ++command) {
        selectionCommands.push_back(command);
    }
    Expect(selectionCommands, true);
}

TEST_F(EditMenu, OffersPasteForUnicodeTextAndUndoAfterAChangeOrAReplaceAll) {
    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard());
    Expect({IDM_EDIT_PASTE, IDM_EDIT_CLEAR_CLIPBOARD, IDM_EDIT_UNDO}, false);
    edit.SetText(L"unicode");
    EditSetSel(EditControl, 0, 7);
    EditCopy(EditControl); // the control puts only Unicode text on the clipboard
    ReplaceAllUndoAvailable = 1;
    Expect({IDM_EDIT_PASTE, IDM_EDIT_CLEAR_CLIPBOARD, IDM_EDIT_UNDO}, true);
    ReplaceAllUndoAvailable = 0;
    EditReplaceSel(EditControl, L"typed");
    Expect({IDM_EDIT_UNDO}, true);
}

} // namespace
