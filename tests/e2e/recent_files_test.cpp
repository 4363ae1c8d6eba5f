// The recent files in the File menu: how opening, typing out and saving files fill the list,
// how it is ordered, stored, cleared and restored, what choosing an entry does, and loads that
// fail.
#include "language/resource_ids.h"
#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kFilePopup = 0;
constexpr int kOptionsPopup = 5;

// Waits until the window has handled what was posted to it before: the command that showed a
// message box has returned once a message sent after the box is handled.
void Settle(HWND main) {
    EXPECT_NE(SendMessageTimeoutW(main, WM_NULL, 0, 0, 0, kPatience, nullptr), 0);
}

// The list, most recent first, in the INI (MRU0 to MRU(MruCount - 1)) and in the File menu,
// where entry i has command 311 + i and the entries stand between Print's separator and one of
// their own.
void ExpectRecentList(const Sandbox& sandbox, const Program& tarnwick,
                      const std::vector<std::wstring>& paths) {
    // The keys are written one by one: wait until they all hold the list, then show the last
    // reading.
    std::vector<std::wstring> stored;
    WaitUntil([&] {
        stored.clear();
        const int count = std::stoi(sandbox.IniValue(L"MruCount").value_or(L"-1"));
        for (int i = 0; i < count; ++i) {
            stored.push_back(sandbox.IniValue(L"MRU" + std::to_wstring(i)).value_or(L"(absent)"));
        }
        return stored == paths;
    });
    EXPECT_EQ(stored, paths);

    std::vector<std::wstring> expected{L"-"};
    for (std::size_t i = 0; i < paths.size(); ++i) {
        expected.push_back(std::to_wstring(IDM_FILE_RECENT_FIRST + i) + L" &" + std::to_wstring(i) +
                           L": ");
        for (wchar_t unit : paths[i]) {
            expected.back() += unit == L'&' ? L"&&" : std::wstring(1, unit);
        }
    }
    if (!paths.empty()) {
        expected.push_back(L"-");
    }
    std::vector<std::wstring> shown;
    bool afterPrint = false;
    for (const MenuItemView& item : tarnwick.MenuItems(kFilePopup)) {
        if (item.id == IDM_FILE_TO_TRAY) {
            break;
        }
        if (afterPrint) {
            shown.push_back(item.separator ? L"-" : std::to_wstring(item.id) + L" " + item.text);
        }
        afterPrint = afterPrint || item.id == IDM_FILE_PRINT;
    }
    EXPECT_EQ(shown, expected) << "the File popup between Print and To Tray";
}

bool ClearIsGrayed(const Program& tarnwick, HWND main) {
    SendMessageW(main, WM_INITMENUPOPUP, 0, kOptionsPopup);
    for (const MenuItemView& item : tarnwick.MenuItems(kOptionsPopup)) {
        if (item.id == IDM_OPTIONS_CLEAR_RECENT) {
            return item.grayed;
        }
    }
    ADD_FAILURE() << "the Options popup has no item " << IDM_OPTIONS_CLEAR_RECENT;
    return false;
}

void Drop(const Program& tarnwick, HWND main, const std::wstring& path) {
    tarnwick.DropFiles(main, {path});
    ExpectTitle(main, Title(path.substr(path.rfind(L'\\') + 1)));
}

void ChooseInDialog(const Program& tarnwick, UINT command, const wchar_t* caption,
                    const std::wstring& path) {
    SendCommand(tarnwick.MainWindow(), command);
    tarnwick.ChooseInDialog(caption, path);
}

TEST(RecentFiles, DroppedFilesFillTheListWhichReordersKeepsTenSurvivesARestartAndClears) {
    Sandbox sandbox;
    std::vector<std::wstring> paths;
    for (int i = 0; i <= 10; ++i) {
        paths.push_back(sandbox / (L"f" + std::to_wstring(i) + L".txt"));
        WriteBytes(paths.back(), "file " + std::to_string(i));
    }
    auto list = [&](std::initializer_list<int> files) {
        std::vector<std::wstring> chosen;
        for (int file : files) {
            chosen.push_back(paths[static_cast<std::size_t>(file)]);
        }
        return chosen;
    };
    const auto lastTen = list({10, 9, 8, 7, 6, 1, 5, 4, 3, 2});
    {
        Program tarnwick(sandbox);
        const HWND main = tarnwick.MainWindow();
        ASSERT_NE(main, nullptr);
        for (int i = 0; i < 6; ++i) {
            Drop(tarnwick, main, paths[i]);
        }
        ExpectRecentList(sandbox, tarnwick, list({5, 4, 3, 2, 1, 0}));

        SendCommand(main, IDM_FILE_RECENT_FIRST + 4);
        tarnwick.ExpectDocument(Title(L"f1.txt"), L"file 1", false);
        ExpectRecentList(sandbox, tarnwick, list({1, 5, 4, 3, 2, 0}));

        for (int i = 6; i <= 10; ++i) {
            Drop(tarnwick, main, paths[i]);
        }
        ExpectRecentList(sandbox, tarnwick, lastTen);

        // Re-opening the first entry moves nothing, yet the list is written again.
        sandbox.WriteIni("[Tarnwick]\r\n");
        SendCommand(main, IDM_FILE_RECENT_FIRST);
        ExpectRecentList(sandbox, tarnwick, lastTen);
        EXPECT_EQ(WindowText(main), Title(L"f10.txt"));
        tarnwick.CloseNormally();
    }
    Program tarnwick(sandbox);
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    ExpectRecentList(sandbox, tarnwick, lastTen);

    // The file system finds a.txt under either name; the list keeps both names as given, and
    // an ampersand shows as itself.
    const std::wstring a = sandbox / L"a.txt", upper = sandbox / L"A.TXT";
    const std::wstring amp = sandbox / L"x&y.txt";
    WriteBytes(a, "lower");
    WriteBytes(amp, "amp");
    Drop(tarnwick, main, a);
    Drop(tarnwick, main, upper);
    EXPECT_EQ(EditText(tarnwick.EditControl()), L"lower");
    Drop(tarnwick, main, amp);
    std::vector<std::wstring> expected = {amp, upper, a};
    expected.insert(expected.end(), lastTen.begin(), lastTen.begin() + 7);
    ExpectRecentList(sandbox, tarnwick, expected);
    EXPECT_FALSE(ClearIsGrayed(tarnwick, main));

    SendCommand(main, IDM_OPTIONS_CLEAR_RECENT);
    ExpectRecentList(sandbox, tarnwick, {});
    EXPECT_TRUE(ClearIsGrayed(tarnwick, main));

    // Save writes the document where it is and leaves the list alone; Save As starts it again.
    Retype(tarnwick.EditControl(), L"saved");
    ExpectTitle(main, Title(L"x&y.txt", true));
    SendCommand(main, IDM_FILE_SAVE);
    ExpectTitle(main, Title(L"x&y.txt"));
    EXPECT_EQ(ReadBytes(amp), "saved");
    Settle(main);
    ExpectRecentList(sandbox, tarnwick, {});

    ChooseInDialog(tarnwick, IDM_FILE_SAVE_AS, L"Save As", sandbox / L"copy.txt");
    ExpectTitle(main, Title(L"copy.txt"));
    ExpectRecentList(sandbox, tarnwick, {sandbox / L"copy.txt"});
    EXPECT_FALSE(ClearIsGrayed(tarnwick, main));
    tarnwick.CloseNormally();
}

TEST(RecentFiles, FailedLoadsAndAMissingFileChangeNothingAndAModifiedDocumentIsAskedFirst) {
    Sandbox sandbox;
    const std::wstring a = sandbox / L"a.txt", b = sandbox / L"b.txt", c = sandbox / L"c.txt";
    const std::wstring marked = sandbox / L"marked.txt";
    WriteBytes(a, "alpha");
    WriteBytes(b, "beta");
    WriteBytes(c, "gamma");
    // A file the program refuses: it starts with the UTF-8 mark.
    WriteBytes(marked, "\xEF\xBB\xBFmarked");
    Program tarnwick(sandbox);
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    const HWND edit = tarnwick.EditControl();

    ChooseInDialog(tarnwick, IDM_FILE_OPEN, L"Open", a);
    ExpectTitle(main, Title(L"a.txt"));
    ChooseInDialog(tarnwick, IDM_FILE_TYPE_OUT, L"Open", b);
    // The typing is over once the whole text is there and no longer marked modified.
    EXPECT_TRUE(WaitUntil([&] {
        return EditText(edit) == L"beta" && SendMessageW(edit, EM_GETMODIFY, 0, 0) == 0;
    })) << Utf8(EditText(edit));
    Drop(tarnwick, main, c);
    ExpectRecentList(sandbox, tarnwick, {c, b, a});

    // Loads that fail keep the document, its file and the list.
    ChooseInDialog(tarnwick, IDM_FILE_OPEN, L"Open", marked);
    tarnwick.Answer(English(sandbox, IDS_BAD_FORMAT), English(sandbox, IDS_ERROR_CAPTION), L"OK");
    tarnwick.ExpectDocument(Title(L"c.txt"), L"gamma", false);
    tarnwick.DropFiles(edit, {sandbox.Folder() + std::wstring(260, L'n') + L".txt"});
    tarnwick.Answer(English(sandbox, IDS_NAME_TOO_LONG), English(sandbox, IDS_INFORMATION_CAPTION),
                    L"OK");
    tarnwick.ExpectDocument(Title(L"c.txt"), L"gamma", false);
    ExpectRecentList(sandbox, tarnwick, {c, b, a});

    ASSERT_TRUE(DeleteFileW(b.c_str()));
    const std::string ini = ReadBytes(sandbox.Ini());
    SendCommand(main, IDM_FILE_RECENT_FIRST + 1);
    tarnwick.Answer(English(sandbox, IDS_FILE_NOT_FOUND, b), L"Tarnwick", L"OK");
    Settle(main);
    tarnwick.ExpectDocument(Title(L"c.txt"), L"gamma", false);
    EXPECT_EQ(ReadBytes(sandbox.Ini()), ini);
    ExpectRecentList(sandbox, tarnwick, {c, b, a});

    InsertText(edit, L"more ");
    ExpectTitle(main, Title(L"c.txt", true));
    SendCommand(main, IDM_FILE_RECENT_FIRST + 2);
    tarnwick.AnswerSaveQuestion(sandbox, c, L"Cancel");
    Settle(main);
    tarnwick.ExpectDocument(Title(L"c.txt", true), L"more gamma", true);
    ExpectRecentList(sandbox, tarnwick, {c, b, a});
    // Save still writes the file the document came from.
    SendCommand(main, IDM_FILE_SAVE);
    ExpectFileBytes(c, "more gamma");
    ExpectTitle(main, Title(L"c.txt"));

    InsertText(edit, L"unsaved ");
    SendCommand(main, IDM_FILE_RECENT_FIRST + 2);
    tarnwick.AnswerSaveQuestion(sandbox, c, L"&No");
    tarnwick.ExpectDocument(Title(L"a.txt"), L"alpha", false);
    EXPECT_EQ(ReadBytes(c), "more gamma");
    ExpectRecentList(sandbox, tarnwick, {a, c, b});
    tarnwick.CloseNormally();
}

} // namespace
