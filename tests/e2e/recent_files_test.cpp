// The recent files in the File menu, walked by one user: how opening, typing out, dropping and
// saving fill the list, its order, storage, restart and Clear, its entries, and failed loads.
#include "tests/e2e/driver.h"

#include <algorithm>
#include <regex>

namespace {

// Waits until the window has handled what was posted to it before: a box's command has returned.
void Settle(HWND main) {
    EXPECT_NE(SendMessageTimeoutW(main, WM_NULL, 0, 0, 0, kPatience, nullptr), 0);
}

// The list, most recent first: in the INI; in the File menu between Print's separator and one
// of their own, entry i as command 311 + i, "&i: " and the path with each "&" doubled; and
// Clear in the Options popup grayed exactly while the list is empty.
void ExpectRecentList(const Sandbox& sandbox, const Program& tarnwick,
                      const std::vector<std::wstring>& paths) {
    std::wstring stored = L"MruCount=" + std::to_wstring(paths.size());
    std::vector<std::wstring> expected = {L"-"};
    for (std::size_t i = 0; i < paths.size(); ++i) {
        stored += L" MRU" + std::to_wstring(i) + L"=" + paths[i];
        expected.push_back(std::to_wstring(IDM_FILE_RECENT_FIRST + i) + L" &" + std::to_wstring(i) +
                           L": " + std::regex_replace(paths[i], std::wregex(L"&"), L"&&"));
    }
    if (!paths.empty()) {
        expected.push_back(L"-");
    }
    sandbox.ExpectIni(stored);
    const std::vector<MenuItemView> items = tarnwick.MenuItems(kFilePopup);
    auto item = std::ranges::find(items, IDM_FILE_PRINT, &MenuItemView::id);
    std::vector<std::wstring> shown;
    while (item != items.end() && ++item != items.end() && item->id != IDM_FILE_TO_TRAY) {
        shown.push_back(item->separator ? L"-" : std::to_wstring(item->id) + L" " + item->text);
    }
    EXPECT_EQ(shown, expected) << "the File popup between Print and To Tray";

    SendMessageW(tarnwick.MainWindow(), WM_INITMENUPOPUP, 0, kOptionsPopup);
    const std::vector<MenuItemView> options = tarnwick.MenuItems(kOptionsPopup);
    const auto clear = std::ranges::find(options, IDM_OPTIONS_CLEAR_RECENT, &MenuItemView::id);
    ASSERT_NE(clear, options.end()) << "no Clear in the Options popup";
    EXPECT_EQ(clear->grayed, paths.empty()) << "Clear grayed";
}

void Drop(const Program& tarnwick, const std::wstring& path) {
    tarnwick.DropFiles(tarnwick.MainWindow(), {path});
    ExpectTitle(tarnwick.MainWindow(), Title(path.substr(path.rfind(L'\\') + 1)));
}

TEST(RecentFiles, FillReorderKeepTenSurviveARestartClearAndStayWhenALoadFailsOrIsAskedFirst) {
    Sandbox sandbox;
    std::vector<std::wstring> f;
    for (int i = 0; i <= 10; ++i) {
        f.push_back(sandbox / (L"f" + std::to_wstring(i) + L".txt"));
        WriteBytes(f.back(), "file " + std::to_string(i));
    }
    const std::vector<std::wstring> lastTen = {f[10], f[9], f[8], f[7], f[6],
                                               f[1],  f[5], f[4], f[3], f[2]};
    {
        Program tarnwick(sandbox);
        for (int i = 0; i < 6; ++i) {
            Drop(tarnwick, f[i]);
        }
        ExpectRecentList(sandbox, tarnwick, {f[5], f[4], f[3], f[2], f[1], f[0]});

        SendCommand(tarnwick.MainWindow(), IDM_FILE_RECENT_FIRST + 4);
        tarnwick.ExpectDocument(Title(L"f1.txt"), L"file 1", false);
        ExpectRecentList(sandbox, tarnwick, {f[1], f[5], f[4], f[3], f[2], f[0]});

        for (int i = 6; i <= 10; ++i) {
            Drop(tarnwick, f[i]);
        }
        ExpectRecentList(sandbox, tarnwick, lastTen);

        // Re-opening the first entry moves nothing, yet the list is written again.
        sandbox.WriteIni("[Tarnwick]\r\n");
        SendCommand(tarnwick.MainWindow(), IDM_FILE_RECENT_FIRST);
        ExpectRecentList(sandbox, tarnwick, lastTen);
        tarnwick.CloseNormally();
    }
    Program tarnwick(sandbox);
    const HWND main = tarnwick.MainWindow();
    const HWND edit = tarnwick.EditControl();
    ExpectRecentList(sandbox, tarnwick, lastTen);

    // The file system finds a.txt under either name; the list keeps both names as given, and
    // an ampersand shows as itself.
    const std::wstring a = sandbox / L"a.txt", upper = sandbox / L"A.TXT";
    const std::wstring amp = sandbox / L"x&y.txt";
    WriteBytes(a, "alpha");
    WriteBytes(amp, "amp");
    Drop(tarnwick, a);
    Drop(tarnwick, upper);
    Drop(tarnwick, amp);
    ExpectRecentList(sandbox, tarnwick, {amp, upper, a, f[10], f[9], f[8], f[7], f[6], f[1], f[5]});

    SendCommand(main, IDM_OPTIONS_CLEAR_RECENT);
    ExpectRecentList(sandbox, tarnwick, {});

    // Save writes the document where it is and leaves the list alone; Save As starts it again.
    Retype(edit, L"saved");
    SendCommand(main, IDM_FILE_SAVE);
    ExpectTitle(main, Title(L"x&y.txt"));
    Settle(main);
    ExpectRecentList(sandbox, tarnwick, {});
    const std::wstring copy = sandbox / L"copy.txt";
    tarnwick.Choose(IDM_FILE_SAVE_AS, copy);
    ExpectTitle(main, Title(L"copy.txt"));
    ExpectRecentList(sandbox, tarnwick, {copy});

    // Open, a type-out and a drop each add their file.
    const std::wstring b = sandbox / L"b.txt", c = sandbox / L"c.txt";
    const std::wstring marked = sandbox / L"marked.txt";
    WriteBytes(b, "beta");
    WriteBytes(c, "gamma");
    WriteBytes(marked, "\xEF\xBB\xBFmarked"); // refused: it starts with the UTF-8 mark
    tarnwick.Choose(IDM_FILE_OPEN, a);
    ExpectTitle(main, Title(L"a.txt"));
    tarnwick.Choose(IDM_FILE_TYPE_OUT, b);
    // The typing is over once the whole text is there and no longer marked modified.
    EXPECT_TRUE(WaitUntil([&] {
        return EditText(edit) == L"beta" && SendMessageW(edit, EM_GETMODIFY, 0, 0) == 0;
    })) << Utf8(EditText(edit));
    Drop(tarnwick, c);
    ExpectRecentList(sandbox, tarnwick, {c, b, a, copy});

    // Loads that fail by each route keep the document, its file and the list; a missing file
    // also leaves the INI untouched.
    tarnwick.Choose(IDM_FILE_OPEN, marked);
    tarnwick.Box(IDS_BAD_FORMAT, IDS_ERROR_CAPTION, L"OK");
    tarnwick.DropFiles(edit, {sandbox.Folder() + std::wstring(260, L'n') + L".txt"});
    tarnwick.Box(IDS_NAME_TOO_LONG, IDS_INFORMATION_CAPTION, L"OK");
    ASSERT_TRUE(DeleteFileW(b.c_str()));
    const std::string ini = ReadBytes(sandbox.Ini());
    SendCommand(main, IDM_FILE_RECENT_FIRST + 1);
    tarnwick.Answer(English(sandbox, IDS_FILE_NOT_FOUND, b), L"Tarnwick", L"OK");
    Settle(main);
    tarnwick.ExpectDocument(Title(L"c.txt"), L"gamma", false);
    EXPECT_EQ(ReadBytes(sandbox.Ini()), ini);
    ExpectRecentList(sandbox, tarnwick, {c, b, a, copy});

    // A modified document is asked about first: Cancel keeps it, and Save still writes its own
    // file; No opens the entry.
    InsertText(edit, L"more ");
    SendCommand(main, IDM_FILE_RECENT_FIRST + 2);
    tarnwick.Ask(c, L"Cancel");
    Settle(main);
    tarnwick.ExpectDocument(Title(L"c.txt", true), L"more gamma", true);
    ExpectRecentList(sandbox, tarnwick, {c, b, a, copy});
    SendCommand(main, IDM_FILE_SAVE);
    ExpectSoon("c.txt", std::string("more gamma"), [&] { return ReadBytes(c); });
    InsertText(edit, L"unsaved ");
    SendCommand(main, IDM_FILE_RECENT_FIRST + 2);
    tarnwick.Ask(c, L"&No");
    tarnwick.ExpectDocument(Title(L"a.txt"), L"alpha", false);
    EXPECT_EQ(ReadBytes(c), "more gamma");
    ExpectRecentList(sandbox, tarnwick, {a, c, b, copy});
    tarnwick.CloseNormally();
}

} // namespace
