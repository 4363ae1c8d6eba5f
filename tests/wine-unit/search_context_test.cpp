// The search engine at work in the edit control's own buffer.
#include "app/settings.h"
#include "language/language_library.h"
#include "language/resource_ids.h"
#include "search/replace_all.h"
#include "search/search_context.h"
#include "tests/support/files.h"
#include "tests/wine-unit/edit_window.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"

#include <commdlg.h>
#include <gtest/gtest.h>

namespace {

class SearchInEditBuffer : public testing::Test {
  protected:
    void Use(const wchar_t* find, const wchar_t* replace = L"") {
        lstrcpynW(FindString, find, 130);
        lstrcpynW(ReplaceString, replace, 130);
    }
    // A text in a block of exactly its own size, so that any growth must resize the block.
    void HandOver(const std::wstring& text) {
        HLOCAL block =
            LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, (text.size() + 1) * sizeof(wchar_t));
        ASSERT_NE(block, nullptr);
        CopyMemory(LocalLock(block), text.c_str(), text.size() * sizeof(wchar_t));
        LocalUnlock(block);
        HLOCAL previous = EditGetHandle(EditControl);
        EditSetHandle(EditControl, block);
        LocalFree(previous);
    }

    EditWindow edit;
};

TEST_F(SearchInEditBuffer, FindsForwardAndBackwardFromTheSelection) {
    edit.SetText(L"aaaa");
    Use(L"aa");
    EditSetSel(EditControl, 0, 0);
    ASSERT_TRUE(BeginSearch(FR_MATCHCASE | FR_DOWN));
    EXPECT_EQ(SearchFromSelection(true), 0u);
    EndSearch();
    EditSetSel(EditControl, 0, 2);
    ASSERT_TRUE(BeginSearch(FR_MATCHCASE | FR_DOWN));
    EXPECT_EQ(SearchFromSelection(true), 1u) << "overlapping occurrences are all visited";
    EXPECT_EQ(SearchFromSelection(false), std::nullopt);
    EndSearch();
    EditSetSel(EditControl, 4, 4);
    ASSERT_TRUE(BeginSearch(FR_MATCHCASE));
    EXPECT_EQ(SearchFromSelection(false), 2u);
    EndSearch();
}

TEST_F(SearchInEditBuffer, IgnoresCaseThroughTheSystemsCaseForms) {
    edit.SetText(L"x \u017Dlu\u0164ou\u010Dk\u00FD y");
    Use(L"\u017elu\u0165");
    ASSERT_TRUE(BeginSearch(FR_DOWN));
    EXPECT_EQ(SearchForwardFrom(0), 2u);
    EndSearch();
    ASSERT_TRUE(BeginSearch(FR_MATCHCASE | FR_DOWN));
    EXPECT_EQ(SearchForwardFrom(0), std::nullopt);
    EndSearch();
}

TEST_F(SearchInEditBuffer, ReplacesTheSelectionWhenTheLanguageCallsItEqual) {
    edit.SetText(L"one Two three");
    Use(L"two", L"2");
    EditSetSel(EditControl, 4, 7);
    ASSERT_TRUE(BeginSearch(FR_DOWN));
    const ReplaceCurrentResult replaced = ReplaceCurrent();
    EXPECT_TRUE(replaced.replaced);
    EXPECT_EQ(replaced.nextStart, 5u);
    EXPECT_EQ(SearchForwardFrom(replaced.nextStart), std::nullopt);
    EndSearch();
    EXPECT_EQ(edit.Text(), L"one 2 three");
    EXPECT_TRUE(EditCanUndo(EditControl)) << "the control's undo takes it back";

    edit.SetText(L"one Two three");
    EditSetSel(EditControl, 4, 7);
    ASSERT_TRUE(BeginSearch(FR_MATCHCASE | FR_DOWN));
    EXPECT_FALSE(ReplaceCurrent().replaced);
    EndSearch();
    EXPECT_EQ(edit.Text(), L"one Two three");
}

TEST_F(SearchInEditBuffer, GrowsTheTextPastItsBlockInOneReplaceAll) {
    std::wstring text;
    for (int i = 0; i < 2000; ++i) {
        text += L"ab\r\n";
    }
    HandOver(text);
    Use(L"b", L"[longer]");
    ASSERT_TRUE(BeginSearch(FR_MATCHCASE | FR_DOWN));
    const ReplaceAllResult result = ReplaceAllOccurrences();
    EndSearch();
    EXPECT_EQ(result.count, 2000u);
    EXPECT_FALSE(result.outOfMemory);
    std::wstring expected;
    for (int i = 0; i < 2000; ++i) {
        expected += L"a[longer]\r\n";
    }
    EXPECT_EQ(edit.Text(), expected);
    EXPECT_EQ(EditGetLineCount(EditControl), 2001);
    EXPECT_EQ(EditTextHandle, EditGetHandle(EditControl)) << "the control holds the new block";
}

TEST_F(SearchInEditBuffer, ShrinksAndOverwritesInPlace) {
    HandOver(L"aaaa bb aaa");
    Use(L"aa", L"");
    ASSERT_TRUE(BeginSearch(FR_MATCHCASE | FR_DOWN));
    EXPECT_EQ(ReplaceAllOccurrences().count, 3u);
    EndSearch();
    EXPECT_EQ(edit.Text(), L" bb a");

    Use(L"b", L"c");
    ASSERT_TRUE(BeginSearch(FR_MATCHCASE | FR_DOWN));
    EXPECT_EQ(ReplaceAllOccurrences().count, 2u);
    EndSearch();
    EXPECT_EQ(edit.Text(), L" cc a");
}

// A text whose every unit grows by 128: the result would pass the largest text the control
// holds, as when memory runs out. The user gives up the undo copy for one more try, which
// fails too; the text stays as it was and no undo is offered.
TEST_F(SearchInEditBuffer, AsksOnceForMemoryThenGivesUpWithTheTextUnchanged) {
    LanguageLibrary =
        LoadLibraryExW((FolderFromEnvironment(L"TARNWICK_LANGUAGES") + L"English.dll").c_str(),
                       nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(LanguageLibrary, nullptr);
    constexpr std::size_t kUnits = 0x7FFFFFFE / 128 + 1;
    HandOver(std::wstring(kUnits, L'a'));
    Use(L"a", std::wstring(129, L'b').c_str());
    {
        MessageBoxAnswerer answerer;
        ASSERT_TRUE(BeginSearch(FR_MATCHCASE | FR_DOWN | FR_REPLACEALL));
        RunReplaceAll();
        EndSearch();
        const auto boxes = answerer.Boxes();
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[0].text, LanguageString(IDS_SEARCH_MEMORY_QUESTION));
        EXPECT_EQ(boxes[1].text, LanguageString(IDS_OUT_OF_MEMORY));
        EXPECT_EQ(boxes[1].caption, LanguageString(IDS_ERROR_CAPTION));
    }
    EXPECT_EQ(EditGetTextLength(EditControl), kUnits);
    EXPECT_FALSE(EditGetModify(EditControl));
    EXPECT_EQ(ReplaceAllUndoAvailable, 0);
    FreeLibrary(LanguageLibrary);
    LanguageLibrary = nullptr;
}

} // namespace
