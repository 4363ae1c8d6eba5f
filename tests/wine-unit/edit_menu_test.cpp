// Which edit commands the edit popup (and so the context menu) offers.
#include "language/language_library.h"
#include "language/resource_ids.h"
#include "search/replace_all.h"
#include "tests/support/files.h"
#include "tests/wine-unit/edit_window.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"

#include <gtest/gtest.h>

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

    bool Enabled(UINT command) const {
        return (GetMenuState(popup, command, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
    }

    static void PutOnClipboard(const wchar_t* text) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        if (text != nullptr) {
            const SIZE_T bytes = (wcslen(text) + 1) * sizeof(wchar_t);
            HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
            memcpy(GlobalLock(block), text, bytes);
            GlobalUnlock(block);
            SetClipboardData(CF_UNICODETEXT, block);
        }
        CloseClipboard();
    }

    EditWindow edit;
    HMODULE library = nullptr;
    HMENU menu = nullptr;
    HMENU popup = nullptr;
};

TEST_F(EditMenu, GraysTheTextCommandsOfAnEmptyDocumentAndTheSelectionCommandsByTheRecord) {
    const UINT textCommands[] = {IDM_EDIT_SELECT_ALL, IDM_EDIT_SELECT_LINE, IDM_EDIT_DELETE_LINE};
    UpdateEditMenu(popup);
    for (UINT command : textCommands) {
        EXPECT_FALSE(Enabled(command)) << command;
    }
    EXPECT_TRUE(Enabled(IDM_EDIT_INSERT_DATE_TIME)) << "never grayed";

    edit.SetText(L"some text");
    EditSetSel(EditControl, 0, 4);
    UpdateEditMenu(popup);
    for (UINT command : textCommands) {
        EXPECT_TRUE(Enabled(command)) << command;
    }
    EXPECT_FALSE(Enabled(IDM_EDIT_CUT)) << "the recorded selection counts, not the control's";
    SelectionRecord = {0, 4};
    UpdateEditMenu(popup);
    for (UINT command = IDM_EDIT_CUT; command <= IDM_EDIT_REVERSE; ++command) {
        EXPECT_TRUE(Enabled(command)) << command;
    }
}

TEST_F(EditMenu, OffersPasteForUnicodeTextAndUndoAfterAChangeOrAReplaceAll) {
    PutOnClipboard(nullptr);
    UpdateEditMenu(popup);
    for (UINT command : {IDM_EDIT_PASTE, IDM_EDIT_CLEAR_CLIPBOARD, IDM_EDIT_UNDO}) {
        EXPECT_FALSE(Enabled(command)) << command;
    }
    PutOnClipboard(L"unicode only");
    ReplaceAllUndoAvailable = 1;
    UpdateEditMenu(popup);
    for (UINT command : {IDM_EDIT_PASTE, IDM_EDIT_CLEAR_CLIPBOARD, IDM_EDIT_UNDO}) {
        EXPECT_TRUE(Enabled(command)) << command;
    }
    ReplaceAllUndoAvailable = 0;
    EditReplaceSel(EditControl, L"typed");
    UpdateEditMenu(popup);
    EXPECT_TRUE(Enabled(IDM_EDIT_UNDO));
}

} // namespace
