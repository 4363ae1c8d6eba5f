// Drives the real Tarnwick.exe from outside, as a user would: a private copy of the
// program, its process, its windows and message boxes, its settings file.
#ifndef TARNWICK_TESTS_E2E_DRIVER_H
#define TARNWICK_TESTS_E2E_DRIVER_H

#include "tests/support/files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// Waits are bounded polls; this is the usual bound.
inline constexpr DWORD kPatience = 10000;

// Polls until the condition holds or the time is up; true when it held.
bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds = kPatience);

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
    Sandbox();
    std::wstring operator/(const std::wstring& name) const { return folder_ / name; }
    const std::wstring& Folder() const { return folder_.Path(); }
    std::wstring Exe() const { return folder_ / L"Tarnwick.exe"; }

    void WriteIni(const std::string& text) const { WriteBytes(Ini(), text); }
    std::wstring Ini() const { return folder_ / L"Tarnwick.ini"; }
    std::optional<std::wstring> IniValue(const std::wstring& key) const;
    // Waits until the file holds these values: "x=40 y=30 Wrap=(absent)"; the program writes
    // some of them as it goes.
    void ExpectIni(const std::wstring& values) const;

    void PutLanguage(const std::wstring& from, const std::wstring& as) const;
    // A new folder in the sandbox whose path, trailing backslash included, is this long; made
    // through the \\?\ form, so it may lie beyond the length an ordinary path may have.
    std::wstring DeepFolder(std::size_t length) const;

  private:
    TempFolder folder_;
};

// A string of the sandbox's English library, every "%" replaced by the insert when one is
// given, as the program fills it.
std::wstring English(const Sandbox& sandbox, UINT id);
std::wstring English(const Sandbox& sandbox, UINT id, const std::wstring& insert);

// The name of a new document, from the sandbox's English library.
std::wstring Untitled(const Sandbox& sandbox);
// The main window's title for a document: "Tarnwick - name", "* " in front while modified.
std::wstring Title(const std::wstring& name, bool modified = false);
// The text in double quotes, as a command line holds a name with blanks.
std::wstring Quoted(const std::wstring& text);

// A file built with the tests (a test library), by name.
std::wstring TestDataFile(const std::wstring& name);

// The right edges of the status bar's parts (-1: to the bar's end).
std::vector<int> StatusPartEdges(HWND statusBar);
// WM_DPICHANGED delivered to the main window as the system would send it.
void SendDpiChanged(HWND main, UINT dpi, const RECT& suggested);
// Waits until the part of the main window's status bar, read on the program's own thread,
// shows the text; the bar takes its texts asynchronously. A failure shows the last text seen.
void ExpectStatusText(HWND main, int part, const std::wstring& text);

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
    void Fill(int id, const std::wstring& text) const;
    // Clicks without waiting: a message box may follow.
    void Click(int id) const;
    // Clicks and waits until the dialog is gone.
    void Press(int id) const;
    bool Checked(int id) const;
    std::wstring Text(int id) const;
    // Chooses an entry of a drop-down list as a click on it would.
    void Choose(int list, const std::wstring& entry) const;
};

// One running copy of Tarnwick.exe, ended when the test ends if it is still running.
class Program {
  public:
    // The exe of the sandbox, started in the sandbox's folder with these arguments after the
    // quoted program name.
    explicit Program(const Sandbox& sandbox, const std::wstring& arguments = L"");
    // The exact command line, for tests of its parsing.
    Program(const std::wstring& exe, const std::wstring& commandLine, const std::wstring& folder);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    DWORD Id() const { return info_.dwProcessId; }
    bool Running() const;
    // Ends the process at once, as a crash or a power cut would.
    void Kill() const;
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
    // Types the path into the file name field of the file dialog with this caption ("Open",
    // "Save As") once shown, and presses its OK button. Paths in ASCII: a field set from another
    // process loses other characters under Wine.
    void ChooseInDialog(const std::wstring& caption, const std::wstring& path) const;
    // A file command whose dialog (Open, Type out, Save As) the user fills in with the path.
    void Choose(UINT command, const std::wstring& path) const;
    // Expects the next message box to say this under this caption and presses the button.
    void Answer(const std::wstring& text, const std::wstring& caption,
                const std::wstring& button) const;
    // The same with the text and the caption from the sandbox's English library.
    void Box(UINT text, UINT caption, const std::wstring& button,
             const std::wstring& insert = L"") const;
    // The next message box of this process; a failure names what appeared instead.
    MessageBoxView WaitForMessageBox(DWORD milliseconds = kPatience) const;
    // Presses the box's button with this text ("OK", "&Yes", ...) and waits until it is gone.
    void Press(const MessageBoxView& box, const std::wstring& button) const;
    // Expects the question whether to save the changes to the document called `named` (a path,
    // or the name of a new document), with Yes, No and Cancel, and presses the button.
    void Ask(const std::wstring& named, const std::wstring& button) const;

    // The main window (class "Tarnwick") once it is shown, and its edit control.
    HWND MainWindow(DWORD milliseconds = kPatience) const;
    HWND EditControl() const;
    // Asks the window to close, as its close box does.
    void Close() const;
    // Closes an unmodified document's window and expects the program to end with code 0.
    void CloseNormally() const;
    // Closes a modified document's window, answers No to the save question about the document
    // called `named` and expects the program to end with code 0.
    void CloseDiscarding(const Sandbox& sandbox, const std::wstring& named) const;
    // Waits for the title and the text together (a key still on its way would otherwise land
    // in whatever window comes next), then expects the modified flag.
    void ExpectDocument(const std::wstring& title, const std::wstring& text, bool modified) const;

    // The items of popup `position` of the main window's menu bar, in order, read inside the
    // program (menus cannot be read from another process). They are as the program last left
    // them: nothing sends WM_INITMENUPOPUP, on which the program brings some of them up to date.
    // With a subposition, the items of the submenu at that place in the popup.
    std::vector<MenuItemView> MenuItems(int position, int subposition = -1) const;
    // Files dropped on a window of the program (the main window or its edit control), as the
    // shell delivers them: WM_DROPFILES with a drop handle made inside the program.
    void DropFiles(HWND target, const std::vector<std::wstring>& paths) const;

  private:
    void Start(const std::wstring& exe, std::wstring commandLine, const std::wstring& folder);
    PROCESS_INFORMATION info_{};
    const Sandbox* sandbox_ = nullptr;
};

std::wstring WindowText(HWND window);
// Expects the dialog centred over the main window, as the program places its own dialogs.
void ExpectCentredOver(HWND dialog, HWND main);
RECT WindowRect(HWND window);

// Chooses the face and the size (in points) in the program's font dialog and confirms it.
void ChooseFontInDialog(const Program& tarnwick, const std::wstring& face,
                        const std::wstring& size);

// Waits until the window's title is this one; a failure shows the last one seen.
void ExpectTitle(HWND window, const std::wstring& title);
// Text put in at the caret as a paste would: the document becomes modified.
void InsertText(HWND edit, const std::wstring& text);
// The whole text replaced as a user's edit would: the document becomes modified.
void Retype(HWND edit, const std::wstring& text);

// A menu or accelerator command, as the window receives it from its menu.
void SendCommand(HWND window, UINT command);

// Keyboard input as a user's: the window is brought to the front and the keys go to its
// focused control through the system's input queue.
void BringToFront(HWND window);
// Chords apart by blanks, keys of a chord joined by "+": "Ctrl+Shift+End F3 Alt+E".
void Keys(const std::wstring& chords);
void TypeText(const std::wstring& text);

// The edit control's text and selection, read from outside.
using Selection = std::pair<DWORD, DWORD>;
// A selection neither set nor checked.
inline constexpr Selection kAny{~DWORD{0}, ~DWORD{0}};
std::wstring EditText(HWND edit);
Selection EditSelection(HWND edit);
// Wait until the edit control holds this text, or this selection; a failure shows the last
// one seen.
void ExpectText(HWND edit, const std::wstring& text);
void ExpectSelection(HWND edit, Selection selection);

// A string of a language library of the sandbox, for comparing with what the program shows.
std::wstring LibraryString(const std::wstring& library, UINT id);

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
