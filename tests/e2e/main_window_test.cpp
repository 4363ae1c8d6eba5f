// The main window as a user meets it: where it appears, typing, fonts, colours, and closing.
#include "tests/e2e/driver.h"

#include <array>
#include <future>

namespace {

using Geometry = std::array<LONG, 4>;

// The window's outer rectangle as x, y, width and height.
Geometry GeometryOf(HWND window) {
    const RECT rect = WindowRect(window);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

TEST(Placement, AnOffScreenGeometryIsCorrectedASecondCopyCascadesAndTheLastPlacementIsSaved) {
    // The test screen is 1024 by 768: y is off it. The second copy, near the left edge, opens
    // to the right and is narrowed to stay on the screen.
    Sandbox sandbox;
    sandbox.WriteIni("[Tarnwick]\r\nx=10\r\ny=-5\r\nWidth=1000\r\nHeight=500\r\n");
    Program first(sandbox);
    EXPECT_EQ(GeometryOf(first.MainWindow()), (Geometry{10, 100, 1000, 500}));
    Program second(sandbox);
    const HWND secondWindow = second.MainWindow();
    EXPECT_EQ(GeometryOf(secondWindow), (Geometry{40, 70, 984, 500}));

    // The user moves the second copy, then closes the first: the first saves where the
    // second now is, with the other exit keys and no other.
    SetWindowPos(secondWindow, nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(WaitUntil([&] { return WindowRect(secondWindow).left == 200; }));
    first.CloseNormally();
    sandbox.ExpectIni(L"x=200 y=150 Width=984 Height=500 MruCount=0 Maximized=0 FullScr=0 "
                      L"Wrap=(absent)");

    // Maximized, the second copy records no size: it keeps the placement to restore.
    PostMessageW(secondWindow, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(secondWindow) != FALSE; }));
    second.CloseNormally();
    sandbox.ExpectIni(L"Maximized=1 x=200 y=150 Width=984 Height=500");
}

TEST(Typing, ANewDocumentIsMarkedUntilEmptyOverwritesOptionsTakeEffectAndClosingAsksFirst) {
    // The longest name the command line takes, 259 units, relative to the program's folder:
    // as a full path it is too long, and refused as such rather than cut.
    Sandbox sandbox;
    Program tarnwick(sandbox, Quoted(std::wstring(255, L'n') + L".txt"));
    tarnwick.Box(IDS_NAME_TOO_LONG, IDS_INFORMATION_CAPTION, L"OK");
    const std::wstring untitled = Untitled(sandbox);
    tarnwick.ExpectDocument(Title(untitled), L"", false);
    const HWND main = tarnwick.MainWindow();
    HWND edit = tarnwick.EditControl();
    EXPECT_EQ(GeometryOf(main), (Geometry{120, 100, 870, 534})) << "the default placement";
    BringToFront(main);
    TypeText(L"a");
    ExpectTitle(main, Title(untitled, true));
    Keys(L"Back");
    ExpectTitle(main, Title(untitled));
    InsertText(edit, L"abc\r\ndef");
    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard());

    // A selection, keys, text typed, the document after. Insert switches to overwrite: at a
    // line's end the next line is joined first; Enter breaks the line and deletes nothing;
    // Ctrl+Insert copies and Shift+Insert pastes without switching back.
    const struct {
        Selection selection;
        const wchar_t* keys;
        const wchar_t* typed;
        const wchar_t* text;
    } steps[] = {
        {{0, 0}, L"", L"x", L"xabc\r\ndef"},
        {kAny, L"Insert", L"y", L"xybc\r\ndef"},
        {{4, 4}, L"", L"z", L"xybczdef"},
        {kAny, L"Enter", L"", L"xybcz\r\ndef"},
        {{0, 2}, L"Ctrl+Insert Ctrl+End Shift+Insert", L"", L"xybcz\r\ndefxy"},
        {{0, 0}, L"", L"!", L"!ybcz\r\ndefxy"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(Utf8(step.text));
        if (step.selection != kAny) {
            SendMessageW(edit, EM_SETSEL, step.selection.first, step.selection.second);
        }
        Keys(step.keys);
        TypeText(step.typed);
        tarnwick.ExpectDocument(Title(untitled, true), step.text, true);
    }

    // The end of the session asks about the changes too, and waits for the answer.
    auto ask = [main] {
        DWORD_PTR answer = 2;
        SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, 0, 0, 20000, &answer);
        return answer;
    };
    auto refused = std::async(std::launch::async, ask);
    tarnwick.Ask(untitled, L"Cancel");
    EXPECT_EQ(refused.get(), DWORD_PTR{FALSE});
    // Cancelled font and colour dialogs write nothing either.
    for (const auto& [command, caption] :
         {std::pair{IDM_FORMAT_FONT, L"Font"}, std::pair{IDM_OPTIONS_BACKGROUND_COLOR, L"Color"}}) {
        SendCommand(main, command);
        tarnwick.Dialog(caption).Press(IDCANCEL);
    }
    EXPECT_FALSE(FileExists(sandbox.Ini()));

    SendCommand(main, IDM_OPTIONS_BACKGROUND_COLOR);
    const DialogView colour = tarnwick.Dialog(L"Color");
    // The red, green and blue fields of the full dialog.
    colour.Fill(706, L"255");
    colour.Fill(707, L"0");
    colour.Fill(708, L"0");
    colour.Press(IDOK);
    // Only the chosen colour is written.
    sandbox.ExpectIni(L"BkgColor=255 TxtColor=(absent) Name=(absent)");
    // The colour of the edit control's empty area, read from the screen.
    const auto background = [&] {
        const RECT rect = WindowRect(edit);
        HDC screen = GetDC(nullptr);
        const COLORREF colour = GetPixel(screen, rect.right - 40, rect.bottom - 40);
        ReleaseDC(nullptr, screen);
        return colour;
    };
    ExpectSoon("the background", RGB(255, 0, 0), background);

    // Word wrap re-creates the control, without the horizontal scroll bar; unwrapped again,
    // the text, the selection and the modified flag are kept, and nothing to undo.
    SendMessageW(edit, EM_SETSEL, 4, 7);
    for (const bool wrap : {true, false}) {
        EXPECT_EQ(GetWindowLongPtrW(edit, GWL_STYLE) & WS_HSCROLL, wrap ? WS_HSCROLL : 0);
        SendCommand(main, IDM_FORMAT_WORD_WRAP);
        ASSERT_TRUE(WaitUntil([&] { return tarnwick.EditControl() != edit; }));
        edit = tarnwick.EditControl();
        EXPECT_EQ(GetWindowLongPtrW(edit, GWL_STYLE) & WS_HSCROLL, wrap ? 0 : WS_HSCROLL);
        EXPECT_NE(GetWindowLongPtrW(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0)
            << "a re-created control has a client edge";
        sandbox.ExpectIni(wrap ? L"Wrap=1" : L"Wrap=0"); // written at once
        ExpectSoon("the re-created control's background", RGB(255, 0, 0), background);
    }
    tarnwick.ExpectDocument(Title(untitled, true), L"!ybcz\r\ndefxy", true);
    EXPECT_EQ(EditSelection(edit), (Selection{4, 7}));
    EXPECT_EQ(SendMessageW(edit, EM_CANUNDO, 0, 0), 0);
    SendCommand(main, IDM_OPTIONS_CENTER_AFTER_FIND);
    sandbox.ExpectIni(L"CenterVertAfterFind=1");

    auto allowed = std::async(std::launch::async, ask);
    tarnwick.Ask(untitled, L"&No");
    EXPECT_EQ(allowed.get(), DWORD_PTR{TRUE});
    sandbox.ExpectIni(L"x=120"); // the settings are saved for the session's end

    // The exit item is a command the window does not know: it closes after the same question.
    SendCommand(main, IDM_FILE_EXIT);
    tarnwick.Ask(untitled, L"&No");
    EXPECT_EQ(tarnwick.WaitForExit(), 0u);
}

} // namespace
