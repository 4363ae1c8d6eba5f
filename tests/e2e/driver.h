// Drives the real Tarnwick.exe from outside, as a user would: a private copy of the
// program, its process, its windows and message boxes, its settings file.
#ifndef TARNWICK_TESTS_E2E_DRIVER_H
#define TARNWICK_TESTS_E2E_DRIVER_H

#include "language/resource_ids.h"
#include "tests/support/files.h"

#include <windows.h>

#include <dlgs.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// Waits are bounded polls; this is the usual bound.
inline constexpr DWORD kPatience = 10000;

// Polls until the condition holds or the time is up; true when it held.
inline bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds = kPatience) {
    for (const ULONGLONG deadline = GetTickCount64() + milliseconds; !condition(); Sleep(25)) {
        if (GetTickCount64() >= deadline) {
            return false;
        }
    }
    return true;
}

// Polls the reading until it is the awaited value; a failure shows the last reading.
template <class Value, class Read>
bool ExpectSoon(const std::string& what, const Value& awaited, const Read& read) {
    Value seen{};
    const bool held = WaitUntil([&] { return (seen = read()) == awaited; });
    EXPECT_EQ(seen, awaited) << what;
    return held;
}

// dist/Tarnwick copied into a fresh temporary folder: its own Tarnwick.ini and Languages.
class Sandbox {
  public:
    Sandbox() { CopyTree(FolderFromEnvironment(L"TARNWICK_DIST"), folder_.Path()); }
    std::wstring operator/(const std::wstring& name) const { return folder_ / name; }
    const std::wstring& Folder() const { return folder_.Path(); }
    std::wstring Exe() const { return folder_ / L"Tarnwick.exe"; }

    void WriteIni(const std::string& text) const { WriteBytes(Ini(), text); }
    std::wstring Ini() const { return folder_ / L"Tarnwick.ini"; }
    std::optional<std::wstring> IniValue(const std::wstring& key) const {
        return ::IniValue(Ini(), L"Tarnwick", key);
    }
    // Waits until the file holds these values: "x=40 y=30 Wrap=(absent)"; the program writes
    // some of them as it goes.
    void ExpectIni(const std::wstring& values) const;

    void PutLanguage(const std::wstring& from, const std::wstring& as) const {
        ASSERT_TRUE(CopyFileW(from.c_str(), (folder_ / L"Languages\\" + as).c_str(), FALSE))
            << Utf8(from);
    }
    // A new folder in the sandbox whose path, trailing backslash included, is this long; made
    // through the \\?\ form, so it may lie beyond the length an ordinary path may have.
    std::wstring DeepFolder(std::size_t length) const {
        const std::wstring deep =
            Folder() + std::wstring(length - Folder().size() - 1, L'd') + L"\\";
        EXPECT_TRUE(CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr)) << Utf8(deep);
        return deep;
    }

  private:
    TempFolder folder_;
};

// A string of a language library of the sandbox, for comparing with what the program shows.
inline std::wstring LibraryString(const std::wstring& library, UINT id) {
    const HMODULE module = LoadResources(library);
    EXPECT_NE(module, nullptr) << "cannot load " << Utf8(library);
    std::wstring text = module != nullptr ? ResourceString(module, id) : L"";
    FreeLibrary(module);
    return text;
}
// A string of the sandbox's English library, every "%" replaced by the insert when one is
// given, as the program fills it.
inline std::wstring English(const Sandbox& sandbox, UINT id) {
    return LibraryString(sandbox / L"Languages\\English.dll", id);
}
inline std::wstring English(const Sandbox& sandbox, UINT id, const std::wstring& insert) {
    std::wstring text;
    for (wchar_t unit : English(sandbox, id)) {
        text += unit == L'%' ? insert : std::wstring(1, unit);
    }
    return text;
}

// The name of a new document, from the sandbox's English library.
inline std::wstring Untitled(const Sandbox& sandbox) {
    return English(sandbox, IDS_UNTITLED);
}
// The main window's title for a document: "Tarnwick - name", "* " in front while modified.
inline std::wstring Title(const std::wstring& name, bool modified = false) {
    return (modified ? L"* Tarnwick - " : L"Tarnwick - ") + name;
}
// The text in double quotes, as a command line holds a name with blanks.
inline std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

// The right edges of the status bar's parts (-1: to the bar's end).
std::vector<int> StatusPartEdges(HWND statusBar);
// WM_DPICHANGED delivered to the main window as the system would send it.
void SendDpiChanged(HWND main, UINT dpi, const RECT& suggested);
// Waits until the part of the main window's status bar, read on the program's own thread,
// shows the text; the bar takes its texts asynchronously. A failure shows the last text seen.
void ExpectStatusText(HWND main, int part, const std::wstring& text);

// A window's text, or the edit control's, read from outside.
std::wstring WindowText(HWND window);
inline std::wstring EditText(HWND edit) {
    return WindowText(edit);
}
// A menu or accelerator command, as the window receives it from its menu.
inline void SendCommand(HWND window, UINT command) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

// The places of the File and Options popups on the main window's menu bar.
inline constexpr int kFilePopup = 0;
inline constexpr int kOptionsPopup = 5;

struct MenuItemView {
    UINT id = 0;       // 0 for a separator or a popup
    std::wstring text; // as stored in the menu, mnemonic "&" included; empty for a separator
    bool separator = false;
    bool grayed = false;
    bool checked = false;
};

struct MessageBoxView {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
    std::vector<std::wstring> buttons; // their texts, in window order
    bool hasIcon = false;
};

// A dialog of the program (the system's Find, Color, Font, or its own), worked by control id.
struct DialogView {
    HWND window = nullptr;
    void Fill(int id, const std::wstring& text) const {
        SendDlgItemMessageW(window, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    // Clicks without waiting: a message box may follow.
    void Click(int id) const { PostMessageW(GetDlgItem(window, id), BM_CLICK, 0, 0); }
    // Clicks and waits until the dialog is gone.
    void Press(int id) const {
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(window); })) << "the dialog stayed open";
    }
    bool Checked(int id) const {
        return SendDlgItemMessageW(window, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    std::wstring Text(int id) const { return WindowText(GetDlgItem(window, id)); }
    // Chooses an entry of a drop-down list as a click on it would.
    void Choose(int list, const std::wstring& entry) const {
        const HWND box = GetDlgItem(window, list);
        EXPECT_NE(SendMessageW(box, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(entry.c_str())),
                  CB_ERR)
            << "no entry " << Utf8(entry);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(list, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(box));
    }
};

// One running copy of Tarnwick.exe, ended when the test ends if it is still running.
class Program {
  public:
    // The exe of the sandbox, started in the sandbox's folder with these arguments after the
    // quoted program name.
    explicit Program(const Sandbox& sandbox, const std::wstring& arguments = L"")
        : sandbox_(&sandbox) {
        Start(sandbox.Exe(), Quoted(sandbox.Exe()) + (arguments.empty() ? L"" : L" " + arguments),
              sandbox.Folder());
    }
    // The exact command line, for tests of its parsing.
    Program(const std::wstring& exe, const std::wstring& commandLine, const std::wstring& folder) {
        Start(exe, commandLine, folder);
    }
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    DWORD Id() const { return info_.dwProcessId; }
    bool Running() const {
        return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
    }
    // Ends the process at once, as a crash or a power cut would.
    void Kill() const {
        TerminateProcess(info_.hProcess, 255);
        WaitForSingleObject(info_.hProcess, kPatience);
    }
    // The exit code, or nullopt (with a test failure naming what was awaited) on time-out.
    std::optional<DWORD> WaitForExit(DWORD milliseconds = kPatience) const;

    // Visible top-level windows of this process with the class ("#32770" for dialogs).
    std::vector<HWND> Windows(const wchar_t* className) const;
    // The first visible top-level window of this process that matches, once there; a failure
    // names what was awaited and whether the process still runs.
    HWND Find(const std::function<bool(HWND)>& match, const std::string& what,
              DWORD milliseconds = kPatience) const;

    // A dialog of this process with this caption ("Open", "Save As", "Font"), once shown.
    DialogView Dialog(const std::wstring& caption) const;
    // Types the path into the name field (a combo box, which hands it to its edit) of the file
    // dialog with this caption ("Open", "Save As") once shown, and presses OK. Paths in ASCII: a
    // field set from another process loses other characters under Wine.
    void ChooseInDialog(const std::wstring& caption, const std::wstring& path) const {
        const DialogView dialog = Dialog(caption);
        dialog.Fill(cmb13, path);
        dialog.Press(IDOK);
    }
    // A file command whose dialog (Open, Type out, Save As) the user fills in with the path.
    void Choose(UINT command, const std::wstring& path) const {
        SendCommand(MainWindow(), command);
        ChooseInDialog(command == IDM_FILE_SAVE_AS ? L"Save As" : L"Open", path);
    }
    // Expects the next message box to say this under this caption and presses the button.
    void Answer(const std::wstring& text, const std::wstring& caption, const std::wstring& button,
                DWORD milliseconds = kPatience) const {
        const MessageBoxView box = WaitForMessageBox(milliseconds);
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.caption, caption);
        Press(box, button);
    }
    // The same with the text and the caption from the sandbox's English library.
    void Box(UINT text, UINT caption, const std::wstring& button, const std::wstring& insert = L"",
             DWORD milliseconds = kPatience) const {
        Answer(insert.empty() ? English(*sandbox_, text) : English(*sandbox_, text, insert),
               English(*sandbox_, caption), button, milliseconds);
    }
    // The next message box of this process; a failure names what appeared instead.
    MessageBoxView WaitForMessageBox(DWORD milliseconds = kPatience) const;
    // Presses the box's button with this text ("OK", "&Yes", ...) and waits until it is gone.
    void Press(const MessageBoxView& box, const std::wstring& button) const;
    // Expects the question whether to save the changes to the document called `named` (a path,
    // or the name of a new document), with Yes, No and Cancel, and presses the button.
    void Ask(const std::wstring& named, const std::wstring& button) const {
        const MessageBoxView question = WaitForMessageBox();
        EXPECT_EQ(question.text, English(*sandbox_, IDS_ASK_SAVE_CHANGES, named));
        EXPECT_EQ(question.caption, L"Tarnwick");
        EXPECT_EQ(question.buttons, (std::vector<std::wstring>{L"&Yes", L"&No", L"Cancel"}));
        Press(question, button);
    }

    // The main window (class "Tarnwick") once it is shown, and its edit control.
    HWND MainWindow(DWORD milliseconds = kPatience) const;
    HWND EditControl() const {
        const HWND main = MainWindow();
        return main == nullptr ? nullptr : FindWindowExW(main, nullptr, L"Edit", nullptr);
    }
    // Asks the window to close, as its close box does.
    void Close() const {
        if (const HWND main = MainWindow()) {
            PostMessageW(main, WM_CLOSE, 0, 0);
        }
    }
    // Closes an unmodified document's window and expects the program to end with code 0.
    void CloseNormally() const {
        Close();
        EXPECT_EQ(WaitForExit(), 0u);
    }
    // Closes a modified document's window, answers No to the save question about the document
    // called `named` and expects the program to end with code 0.
    void CloseDiscarding(const std::wstring& named) const {
        Close();
        Ask(named, L"&No");
        EXPECT_EQ(WaitForExit(), 0u);
    }
    // Waits for the title and the text together (a key still on its way would otherwise land
    // in whatever window comes next), then expects the modified flag.
    void ExpectDocument(const std::wstring& title, const std::wstring& text, bool modified) const {
        const HWND main = MainWindow();
        const HWND edit = EditControl();
        EXPECT_TRUE(WaitUntil([&] { return WindowText(main) == title && EditText(edit) == text; }))
            << "title " << Utf8(WindowText(main)) << ", awaited " << Utf8(title) << "; text "
            << Utf8(EditText(edit)) << ", awaited " << Utf8(text);
        EXPECT_EQ(SendMessageW(edit, EM_GETMODIFY, 0, 0) != 0, modified);
    }

    // The items of popup `position` of the menu bar, or of its submenu at `subposition`, read
    // inside the program (menus cannot be read from another process), as the program last left
    // them: nothing sends WM_INITMENUPOPUP, on which the program brings some up to date.
    std::vector<MenuItemView> MenuItems(int position, int subposition = -1) const;
    // Files dropped on a window of the program (the main window or its edit control), as the
    // shell delivers them: WM_DROPFILES with a drop handle made inside the program.
    void DropFiles(HWND target, const std::vector<std::wstring>& paths) const;

  private:
    void Start(const std::wstring& exe, std::wstring commandLine, const std::wstring& folder);
    PROCESS_INFORMATION info_{};
    const Sandbox* sandbox_ = nullptr;
};

inline RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}
// Expects the dialog centred over the main window, as the program places its own dialogs.
inline void ExpectCentredOver(HWND dialog, HWND main) {
    const RECT inner = WindowRect(dialog);
    const RECT outer = WindowRect(main);
    EXPECT_EQ(inner.left,
              outer.left + ((outer.right - outer.left) - (inner.right - inner.left)) / 2);
    EXPECT_EQ(inner.top, outer.top + ((outer.bottom - outer.top) - (inner.bottom - inner.top)) / 2);
}

// Chooses the face and the size (in points) in the program's font dialog and confirms it.
inline void ChooseFontInDialog(const Program& tarnwick, const std::wstring& face,
                               const std::wstring& size) {
    SendCommand(tarnwick.MainWindow(), IDM_FORMAT_FONT);
    const DialogView fonts = tarnwick.Dialog(L"Font");
    fonts.Choose(cmb1, face); // the face list
    fonts.Choose(cmb3, size); // the size list
    fonts.Press(IDOK);
}

// Waits until the window's title is this one; a failure shows the last one seen.
inline void ExpectTitle(HWND window, const std::wstring& title) {
    ExpectSoon("the title", title, [&] { return WindowText(window); });
}
// Text put in at the caret as a paste would: the document becomes modified.
inline void InsertText(HWND edit, const std::wstring& text) {
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}
// The whole text replaced as a user's edit would: the document becomes modified.
inline void Retype(HWND edit, const std::wstring& text) {
    SendMessageW(edit, EM_SETSEL, 0, -1);
    InsertText(edit, text);
}

// Keyboard input as a user's: the window is brought to the front and the keys go to its
// focused control through the system's input queue.
inline void BringToFront(HWND window) {
    SetForegroundWindow(window);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }))
        << "the window did not come to the front";
}
// Chords apart by blanks, keys of a chord joined by "+": "Ctrl+Shift+End F3 Alt+E".
void Keys(const std::wstring& chords);
void TypeText(const std::wstring& text);

// The edit control's selection, read from outside.
using Selection = std::pair<DWORD, DWORD>;
// A selection neither set nor checked.
inline constexpr Selection kAny{~DWORD{0}, ~DWORD{0}};
inline Selection EditSelection(HWND edit) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(edit, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result);
    return {LOWORD(result), HIWORD(result)};
}
// Waits until the edit control holds this text, or this selection; a failure shows the last seen.
inline void ExpectText(HWND edit, const std::wstring& text) {
    ExpectSoon("the text", text, [&] { return EditText(edit); });
}
inline void ExpectSelection(HWND edit, Selection selection) {
    ExpectSoon("the selection", selection, [&] { return EditSelection(edit); });
}

// A registry value set while the test lives (a number as REG_DWORD, a text as REG_SZ), then
// put back as it was, or removed.
class KeptRegistryValue {
  public:
    KeptRegistryValue(HKEY root, std::wstring key, std::wstring name,
                      const std::variant<DWORD, std::wstring>& value);
    ~KeptRegistryValue();
    KeptRegistryValue(const KeptRegistryValue&) = delete;
    KeptRegistryValue& operator=(const KeptRegistryValue&) = delete;

  private:
    HKEY root_;
    std::wstring key_, name_;
    DWORD type_ = REG_NONE; // REG_NONE: there was no value
    std::vector<BYTE> previous_ = std::vector<BYTE>(1024);
};

// What a Linux command line (run by /bin/sh, as Wine starts Linux programs) writes to its
// output, once it has ended; empty when it could not run or gave nothing within kPatience.
std::string LinuxOutput(const std::string& command);

#endif
