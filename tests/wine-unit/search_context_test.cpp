// The search engine at work in the edit control's own buffer.
#include "app/settings.h"
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
        GiveTextBlock(block);
    }

    EditWindow edit;
};

// The search compares through the system's case forms, so that letters beyond ASCII match in
// either case, and Replace takes the selection when the search calls it equal.
TEST_F(SearchInEditBuffer, IgnoresCaseThroughTheSystemsCaseFormsInFindAndReplace) {
    edit.SetText(L"x \u017Dlu\u0164ou\u010Dk\u00FD y");
    Use(L"\u017elu\u0165", L"2");
    EditSetSel(EditControl, 2, 6);
    ASSERT_TRUE(BeginSearch(FR_DOWN));
    EXPECT_EQ(SearchForwardFrom(0), 2u);
    const ReplaceCurrentResult replaced = ReplaceCurrent();
    EXPECT_TRUE(replaced.replaced);
    EXPECT_EQ(replaced.nextStart, 3u);
    EXPECT_EQ(SearchForwardFrom(replaced.nextStart), std::nullopt);
    EndSearch();
    EXPECT_EQ(edit.Text(), L"x 2ou\u010Dk\u00FD y");
    EXPECT_TRUE(EditCanUndo(EditControl)) << "the control's undo takes it back";
}

// Each text starts in a block of exactly its own size: growing it must resize the block, and
// the control must hold and measure the new one.
TEST_F(SearchInEditBuffer, ReplaceAllGrowsShrinksAndOverwritesTheControlsOwnBlock) {
    std::wstring lines;
    std::wstring longer;
    for (int i = 0; i < 2000; ++i) {
        lines += L"ab\r\n";
        longer += L"a[longer]\r\n";
    }
    const struct {
        std::wstring text;
        const wchar_t* find;
        const wchar_t* replacement;
        std::uint32_t count;
        std::wstring result;
        int lines;
    } cases[] = {{lines, L"b", L"[longer]", 2000, longer, 2001},
                 {L"aaaa bb aaa", L"aa", L"", 3, L" bb a", 1},
                 {L" bb a", L"b", L"c", 2, L" cc a", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.find));
        HandOver(c.text);
        Use(c.find, c.replacement);
        ASSERT_TRUE(BeginSearch(FR_MATCHCASE | FR_DOWN));
        const ReplaceAllResult result = ReplaceAllOccurrences();
        EndSearch();
        EXPECT_EQ(result.count, c.count);
        EXPECT_FALSE(result.outOfMemory);
        EXPECT_EQ(edit.Text(), c.result);
        EXPECT_EQ(EditGetLineCount(EditControl), c.lines);
        EXPECT_EQ(EditTextHandle, EditGetHandle(EditControl)) << "the control holds another block";
    }
}

} // namespace
