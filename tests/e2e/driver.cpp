#include "tests/e2e/driver.h"

#include "language/resource_ids.h"
#include "tests/e2e/probe/fields.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace {

// The static that shows the icon of a message box; it exists even without an icon.
constexpr int kMessageBoxIconId = 1088;
// The static that holds the message box's text.
constexpr int kMessageBoxTextId = 0xFFFF;

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = L"";
    GetClassNameW(window, name, ARRAYSIZE(name));
    return name;
}

// The window's children of this class, in window order.
std::vector<HWND> Children(HWND window, const wchar_t* className) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == className) {
            children.push_back(child);
        }
    }
    return children;
}

} // namespace

std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

std::wstring Title(const std::wstring& name, bool modified) {
    return (modified ? L"* Tarnwick - " : L"Tarnwick - ") + name;
}

std::wstring Untitled(const Sandbox& sandbox) {
    return English(sandbox, IDS_UNTITLED);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds) {
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(25);
    }
}

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = L"";
    SendMessageTimeoutW(window, WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

Sandbox::Sandbox() {
    CopyTree(FolderFromEnvironment(L"TARNWICK_DIST"), folder_.Path());
}

std::optional<std::wstring> Sandbox::IniValue(const std::wstring& key) const {
    return ::IniValue(Ini(), L"Tarnwick", key);
}

void Sandbox::ExpectIni(const std::wstring& values) const {
    std::wistringstream pairs(values);
    std::vector<std::wstring> keys, awaited;
    for (std::wstring pair; pairs >> pair;) {
        keys.push_back(pair.substr(0, pair.find(L'=')));
        awaited.push_back(pair.substr(pair.find(L'=') + 1));
    }
    ExpectSoon("the settings file", awaited, [&] {
        std::vector<std::wstring> seen;
        for (const std::wstring& key : keys) {
            seen.push_back(IniValue(key).value_or(L"(absent)"));
        }
        return seen;
    });
}

void Sandbox::PutLanguage(const std::wstring& from, const std::wstring& as) const {
    ASSERT_TRUE(CopyFileW(from.c_str(), (folder_ / L"Languages\\" + as).c_str(), FALSE))
        << Utf8(from);
}

std::wstring Sandbox::DeepFolder(std::size_t length) const {
    const std::wstring deep = Folder() + std::wstring(length - Folder().size() - 1, L'd') + L"\\";
    EXPECT_TRUE(CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr)) << Utf8(deep);
    return deep;
}

std::wstring English(const Sandbox& sandbox, UINT id) {
    return LibraryString(sandbox / L"Languages\\English.dll", id);
}

std::wstring English(const Sandbox& sandbox, UINT id, const std::wstring& insert) {
    std::wstring text;
    for (wchar_t unit : English(sandbox, id)) {
        text += unit == L'%' ? insert : std::wstring(1, unit);
    }
    return text;
}

std::wstring TestDataFile(const std::wstring& name) {
    return FolderFromEnvironment(L"TARNWICK_TEST_DATA") + name;
}

Program::Program(const Sandbox& sandbox, const std::wstring& arguments) : sandbox_(&sandbox) {
    const std::wstring exe = sandbox.Exe();
    Start(exe, arguments.empty() ? Quoted(exe) : Quoted(exe) + L" " + arguments, sandbox.Folder());
}

Program::Program(const std::wstring& exe, const std::wstring& commandLine,
                 const std::wstring& folder) {
    Start(exe, commandLine, folder);
}

void Program::Start(const std::wstring& exe, std::wstring commandLine, const std::wstring& folder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info_)) {
        ADD_FAILURE() << "cannot start " << Utf8(exe) << " (error " << GetLastError() << ")";
        info_ = {};
    }
}

void Program::Kill() const {
    TerminateProcess(info_.hProcess, 255);
    WaitForSingleObject(info_.hProcess, kPatience);
}

Program::~Program() {
    if (info_.hProcess == nullptr) {
        return;
    }
    if (Running()) {
        Kill();
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

bool Program::Running() const {
    return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Program::WaitForExit(DWORD milliseconds) const {
    if (info_.hProcess == nullptr ||
        WaitForSingleObject(info_.hProcess, milliseconds) != WAIT_OBJECT_0) {
        std::string shown;
        for (HWND window : Windows(nullptr)) {
            shown += " [" + Utf8(ClassOf(window)) + " \"" + Utf8(WindowText(window)) + "\"]";
        }
        ADD_FAILURE() << "Tarnwick did not exit within " << milliseconds
                      << " ms; its windows:" << (shown.empty() ? " none" : shown);
        return std::nullopt;
    }
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

std::vector<HWND> Program::Windows(const wchar_t* className) const {
    std::vector<HWND> found;
    for (HWND window = FindWindowExW(nullptr, nullptr, className, nullptr); window != nullptr;
         window = FindWindowExW(nullptr, window, className, nullptr)) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == Id() && IsWindowVisible(window)) {
            found.push_back(window);
        }
    }
    return found;
}

HWND Program::Find(const std::function<bool(HWND)>& match, const std::string& what,
                   DWORD milliseconds) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : Windows(nullptr)) {
                found = found == nullptr && match(window) ? window : found;
            }
            return found != nullptr || !Running();
        },
        milliseconds);
    if (found == nullptr) {
        DWORD code = 0;
        GetExitCodeProcess(info_.hProcess, &code);
        ADD_FAILURE() << "no " << what << " within " << milliseconds << " ms; "
                      << (Running() ? std::string("the process is still running")
                                    : "the process exited with code " + std::to_string(code));
    }
    return found;
}

DialogView Program::Dialog(const std::wstring& caption) const {
    return {Find(
        [&](HWND window) { return ClassOf(window) == L"#32770" && WindowText(window) == caption; },
        "dialog \"" + Utf8(caption) + "\"")};
}

void DialogView::Fill(int id, const std::wstring& text) const {
    SendDlgItemMessageW(window, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void DialogView::Click(int id) const {
    PostMessageW(GetDlgItem(window, id), BM_CLICK, 0, 0);
}

void DialogView::Press(int id) const {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(window); })) << "the dialog stayed open";
}

bool DialogView::Checked(int id) const {
    return SendDlgItemMessageW(window, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::wstring DialogView::Text(int id) const {
    return WindowText(GetDlgItem(window, id));
}

void DialogView::Choose(int list, const std::wstring& entry) const {
    const HWND box = GetDlgItem(window, list);
    EXPECT_NE(SendMessageW(box, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(entry.c_str())),
              CB_ERR)
        << "no entry " << Utf8(entry);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(list, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(box));
}

void ChooseFontInDialog(const Program& tarnwick, const std::wstring& face,
                        const std::wstring& size) {
    // The font dialog's face and size lists.
    constexpr int kFaceList = 1136;
    constexpr int kSizeList = 1138;
    SendCommand(tarnwick.MainWindow(), IDM_FORMAT_FONT);
    const DialogView fonts = tarnwick.Dialog(L"Font");
    fonts.Choose(kFaceList, face);
    fonts.Choose(kSizeList, size);
    fonts.Press(IDOK);
}

void Program::ChooseInDialog(const std::wstring& caption, const std::wstring& path) const {
    // The explorer-style dialog's name field: an edit inside a combo box, both with id 1148.
    constexpr int kFileNameField = 1148;
    const DialogView dialog = Dialog(caption);
    if (dialog.window == nullptr) {
        return;
    }
    HWND field = nullptr;
    EnumChildWindows(
        dialog.window,
        [](HWND child, LPARAM found) -> BOOL {
            if (GetDlgCtrlID(child) == kFileNameField && ClassOf(child) == L"Edit") {
                *reinterpret_cast<HWND*>(found) = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&field));
    ASSERT_NE(field, nullptr) << "the file dialog has no file name field";
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    dialog.Press(IDOK);
}

void Program::Choose(UINT command, const std::wstring& path) const {
    SendCommand(MainWindow(), command);
    ChooseInDialog(command == IDM_FILE_SAVE_AS ? L"Save As" : L"Open", path);
}

void Program::Answer(const std::wstring& text, const std::wstring& caption,
                     const std::wstring& button) const {
    const MessageBoxView box = WaitForMessageBox();
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, caption);
    Press(box, button);
}

void Program::Box(UINT text, UINT caption, const std::wstring& button,
                  const std::wstring& insert) const {
    Answer(insert.empty() ? English(*sandbox_, text) : English(*sandbox_, text, insert),
           English(*sandbox_, caption), button);
}

void ExpectTitle(HWND window, const std::wstring& title) {
    ExpectSoon("the title", title, [&] { return WindowText(window); });
}

void InsertText(HWND edit, const std::wstring& text) {
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void Retype(HWND edit, const std::wstring& text) {
    SendMessageW(edit, EM_SETSEL, 0, -1);
    InsertText(edit, text);
}

void Program::Ask(const std::wstring& named, const std::wstring& button) const {
    const MessageBoxView question = WaitForMessageBox();
    EXPECT_EQ(question.text, English(*sandbox_, IDS_ASK_SAVE_CHANGES, named));
    EXPECT_EQ(question.caption, L"Tarnwick");
    EXPECT_EQ(question.buttons, (std::vector<std::wstring>{L"&Yes", L"&No", L"Cancel"}));
    Press(question, button);
}

void Program::ExpectDocument(const std::wstring& title, const std::wstring& text,
                             bool modified) const {
    const HWND main = MainWindow();
    const HWND edit = EditControl();
    EXPECT_TRUE(WaitUntil([&] { return WindowText(main) == title && EditText(edit) == text; }))
        << "title " << Utf8(WindowText(main)) << ", awaited " << Utf8(title) << "; text "
        << Utf8(EditText(edit)) << ", awaited " << Utf8(text);
    EXPECT_EQ(SendMessageW(edit, EM_GETMODIFY, 0, 0) != 0, modified);
}

MessageBoxView Program::WaitForMessageBox(DWORD milliseconds) const {
    // A box is the dialog with a message text and no field to type in: a Find or Go To Line
    // dialog may be open too. The box is created before its controls are filled; wait for its
    // text.
    MessageBoxView box;
    box.window = Find(
        [](HWND window) {
            return ClassOf(window) == L"#32770" &&
                   GetWindowTextLengthW(GetDlgItem(window, kMessageBoxTextId)) > 0 &&
                   FindWindowExW(window, nullptr, L"Edit", nullptr) == nullptr;
        },
        "message box", milliseconds);
    if (box.window == nullptr) {
        return box;
    }
    box.caption = WindowText(box.window);
    box.text = WindowText(GetDlgItem(box.window, kMessageBoxTextId));
    for (HWND button : Children(box.window, L"Button")) {
        box.buttons.push_back(WindowText(button));
    }
    DWORD_PTR icon = 0;
    SendMessageTimeoutW(GetDlgItem(box.window, kMessageBoxIconId), STM_GETICON, 0, 0,
                        SMTO_ABORTIFHUNG, 2000, &icon);
    box.hasIcon = icon != 0;
    return box;
}

void Program::Press(const MessageBoxView& box, const std::wstring& button) const {
    for (HWND child : Children(box.window, L"Button")) {
        if (WindowText(child) == button) {
            PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED),
                         reinterpret_cast<LPARAM>(child));
            EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box.window); }))
                << "the message box stayed open after " << Utf8(button) << " was pressed";
            return;
        }
    }
    ADD_FAILURE() << "the message box \"" << Utf8(box.text) << "\" has no button " << Utf8(button);
}

std::wstring LibraryString(const std::wstring& library, UINT id) {
    HMODULE module = LoadResources(library);
    if (module == nullptr) {
        ADD_FAILURE() << "cannot load " << Utf8(library);
        return {};
    }
    std::wstring text = ResourceString(module, id);
    FreeLibrary(module);
    return text;
}

KeptRegistryValue::KeptRegistryValue(HKEY root, std::wstring key, std::wstring name,
                                     const std::variant<DWORD, std::wstring>& value)
    : root_(root), key_(std::move(key)), name_(std::move(name)) {
    DWORD size = static_cast<DWORD>(previous_.size());
    if (RegGetValueW(root_, key_.c_str(), name_.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type_,
                     previous_.data(), &size) != ERROR_SUCCESS) {
        type_ = REG_NONE;
    }
    previous_.resize(type_ == REG_NONE ? 0 : size);
    const auto* text = std::get_if<std::wstring>(&value);
    EXPECT_EQ(text != nullptr ? RegSetKeyValueW(root_, key_.c_str(), name_.c_str(), REG_SZ,
                                                text->c_str(), (text->size() + 1) * sizeof(wchar_t))
                              : RegSetKeyValueW(root_, key_.c_str(), name_.c_str(), REG_DWORD,
                                                &std::get<DWORD>(value), sizeof(DWORD)),
              ERROR_SUCCESS)
        << Utf8(key_) << " " << Utf8(name_);
}

KeptRegistryValue::~KeptRegistryValue() {
    if (type_ == REG_NONE) {
        RegDeleteKeyValueW(root_, key_.c_str(), name_.c_str());
    } else {
        RegSetKeyValueW(root_, key_.c_str(), name_.c_str(), type_, previous_.data(),
                        static_cast<DWORD>(previous_.size()));
    }
}

std::string LinuxOutput(const std::string& command) {
    // Wine gives a Linux program none of the caller's pipes, and its process handle does not
    // wait for it: the output goes through a file, renamed into place when the command is done.
    static int calls = 0;
    const std::string file = "/tmp/tarnwick-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(++calls);
    const std::string script =
        "(" + command + ") >" + file + ".part 2>/dev/null; mv " + file + ".part " + file;
    std::wstring line = L"/bin/sh -c " + Quoted(std::wstring(script.begin(), script.end()));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(L"/bin/sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        return {};
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    const std::wstring output = L"Z:" + std::wstring(file.begin(), file.end());
    WaitUntil([&] { return FileExists(output); });
    const std::string text = FileExists(output) ? ReadBytes(output) : std::string();
    DeleteFileW(output.c_str());
    return text;
}

HWND Program::MainWindow(DWORD milliseconds) const {
    return Find([](HWND window) { return ClassOf(window) == L"Tarnwick"; },
                "window of class Tarnwick", milliseconds);
}

HWND Program::EditControl() const {
    HWND main = MainWindow();
    return main == nullptr ? nullptr : FindWindowExW(main, nullptr, L"Edit", nullptr);
}

void Program::Close() const {
    if (HWND main = MainWindow()) {
        PostMessageW(main, WM_CLOSE, 0, 0);
    }
}

void Program::CloseNormally() const {
    EXPECT_NE(MainWindow(), nullptr);
    Close();
    EXPECT_EQ(WaitForExit(), 0u);
}

void Program::CloseDiscarding(const Sandbox&, const std::wstring& named) const {
    Close();
    Ask(named, L"&No");
    EXPECT_EQ(WaitForExit(), 0u);
}

void ExpectCentredOver(HWND dialog, HWND main) {
    const RECT inner = WindowRect(dialog);
    const RECT outer = WindowRect(main);
    EXPECT_EQ(inner.left,
              outer.left + ((outer.right - outer.left) - (inner.right - inner.left)) / 2);
    EXPECT_EQ(inner.top, outer.top + ((outer.bottom - outer.top) - (inner.bottom - inner.top)) / 2);
}

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

void SendCommand(HWND window, UINT command) {
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void BringToFront(HWND window) {
    SetForegroundWindow(window);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }))
        << "the window did not come to the front";
}

namespace {

INPUT KeyInput(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (key == VK_INSERT || key == VK_DELETE || key == VK_HOME || key == VK_END || key == VK_LEFT ||
        key == VK_RIGHT || key == VK_UP || key == VK_DOWN) {
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    }
    return input;
}

// The chord's keys go down in order and come up in the reverse order.
void PressChord(const std::vector<WORD>& chord) {
    std::vector<INPUT> inputs;
    for (WORD key : chord) {
        inputs.push_back(KeyInput(key, false));
    }
    for (auto key = chord.rbegin(); key != chord.rend(); ++key) {
        inputs.push_back(KeyInput(*key, true));
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

} // namespace

void Keys(const std::wstring& chords) {
    static const std::pair<std::wstring, WORD> kNames[] = {
        {L"Ctrl", VK_CONTROL}, {L"Shift", VK_SHIFT},  {L"Alt", VK_MENU},     {L"Insert", VK_INSERT},
        {L"Home", VK_HOME},    {L"End", VK_END},      {L"Left", VK_LEFT},    {L"Right", VK_RIGHT},
        {L"Up", VK_UP},        {L"Down", VK_DOWN},    {L"Enter", VK_RETURN}, {L"Back", VK_BACK},
        {L"Esc", VK_ESCAPE},   {L"Caps", VK_CAPITAL}, {L"F3", VK_F3},        {L"F5", VK_F5},
        {L"F11", VK_F11}};
    std::wistringstream text(chords);
    for (std::wstring chord; text >> chord;) {
        std::vector<WORD> keys;
        std::wistringstream names(chord);
        for (std::wstring name; std::getline(names, name, L'+');) {
            const auto known = std::find_if(std::begin(kNames), std::end(kNames),
                                            [&](const auto& entry) { return entry.first == name; });
            // A letter or a digit is its own virtual key.
            keys.push_back(known != std::end(kNames) ? known->second
                           : name.size() == 1        ? WORD(name[0])
                                                     : 0);
            EXPECT_NE(keys.back(), 0) << "no key " << Utf8(name);
        }
        PressChord(keys);
    }
}

void TypeText(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (wchar_t unit : text) {
        for (bool up : {false, true}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = unit;
            input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
            inputs.push_back(input);
        }
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::wstring EditText(HWND edit) {
    LRESULT length = 0;
    SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000,
                        reinterpret_cast<PDWORD_PTR>(&length));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    LRESULT copied = 0;
    SendMessageTimeoutW(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 2000, reinterpret_cast<PDWORD_PTR>(&copied));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

Selection EditSelection(HWND edit) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(edit, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result);
    return {LOWORD(result), HIWORD(result)};
}

void ExpectText(HWND edit, const std::wstring& text) {
    ExpectSoon("the text", text, [&] { return EditText(edit); });
}

void ExpectSelection(HWND edit, Selection selection) {
    ExpectSoon("the selection", selection, [&] { return EditSelection(edit); });
}

namespace {

std::wstring ProbeLibrary() {
    wchar_t exe[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const std::wstring path(exe, length);
    return path.substr(0, path.rfind(L'\\') + 1) + L"TarnwickProbe.dll";
}

// Has the probe library answer a request about the window (its kind, the window, the arguments)
// on the window's own thread, hooked into that thread's message retrieval: the fields of its
// answer after "ok", or none with a test failure.
std::vector<std::wstring> AskProbe(HWND window, const wchar_t* kind,
                                   const std::vector<std::wstring>& arguments) {
    // A fresh copy for each request, so that its request and answer lie beside it and the copy
    // that answered before (it stays loaded in the program) cannot answer again.
    const TempFolder call;
    const std::wstring probe = call / L"TarnwickProbe.dll";
    if (!CopyFileW(ProbeLibrary().c_str(), probe.c_str(), FALSE)) {
        ADD_FAILURE() << "cannot copy the probe library " << Utf8(ProbeLibrary());
        return {};
    }
    std::vector<std::wstring> request{kind, std::to_wstring(reinterpret_cast<UINT_PTR>(window))};
    request.insert(request.end(), arguments.begin(), arguments.end());
    const std::wstring requestText = JoinFields(request);
    WriteBytes(call / L"request", std::string(reinterpret_cast<const char*>(requestText.data()),
                                              requestText.size() * sizeof(wchar_t)));
    HMODULE library = LoadLibraryW(probe.c_str());
    const auto hook = library == nullptr ? nullptr
                                         : reinterpret_cast<HOOKPROC>(reinterpret_cast<void (*)()>(
                                               GetProcAddress(library, "ProbeHook")));
    HHOOK installed = hook == nullptr
                          ? nullptr
                          : SetWindowsHookExW(WH_GETMESSAGE, hook, library,
                                              GetWindowThreadProcessId(window, nullptr));
    const bool answered = installed != nullptr && PostMessageW(window, WM_NULL, kProbeMarker, 0) &&
                          WaitUntil([&] { return FileExists(call / L"answer"); });
    const DWORD error = GetLastError();
    if (installed != nullptr) {
        UnhookWindowsHookEx(installed);
    }
    if (library != nullptr) {
        FreeLibrary(library);
    }
    if (!answered) {
        ADD_FAILURE() << "the probe library gave no answer within " << kPatience << " ms (error "
                      << error << ")";
        return {};
    }
    const std::string bytes = ReadBytes(call / L"answer");
    std::vector<std::wstring> answer =
        SplitFields(std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2));
    if (answer.empty() || answer.front() != L"ok") {
        ADD_FAILURE() << "the probe library in the program: "
                      << (answer.empty() ? "no answer" : Utf8(answer.front()));
        return {};
    }
    answer.erase(answer.begin());
    return answer;
}

} // namespace

std::vector<int> StatusPartEdges(HWND statusBar) {
    std::vector<std::wstring> answer = AskProbe(statusBar, L"parts", {});
    std::vector<int> edges;
    for (const std::wstring& edge : answer) {
        edges.push_back(std::stoi(edge));
    }
    return edges;
}

void SendDpiChanged(HWND main, UINT dpi, const RECT& suggested) {
    AskProbe(main, L"dpi",
             {std::to_wstring(dpi), std::to_wstring(suggested.left), std::to_wstring(suggested.top),
              std::to_wstring(suggested.right), std::to_wstring(suggested.bottom)});
}

void ExpectStatusText(HWND main, int part, const std::wstring& text) {
    ExpectSoon("part " + std::to_string(part), text, [&] {
        const HWND bar = FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr);
        const std::vector<std::wstring> answer = AskProbe(bar, L"status", {std::to_wstring(part)});
        return answer.empty() ? std::wstring() : answer.front();
    });
}

std::vector<MenuItemView> Program::MenuItems(int position, int subposition) const {
    std::vector<std::wstring> request{std::to_wstring(position)};
    if (subposition >= 0) {
        request.push_back(std::to_wstring(subposition));
    }
    const std::vector<std::wstring> answer = AskProbe(MainWindow(), L"menu", request);
    // Four fields for each item: id, type, state, text.
    std::vector<MenuItemView> items;
    for (std::size_t field = 0; field + 4 <= answer.size(); field += 4) {
        const UINT type = std::stoul(answer[field + 1]);
        const UINT state = std::stoul(answer[field + 2]);
        items.push_back({static_cast<UINT>(std::stoul(answer[field])), answer[field + 3],
                         (type & MFT_SEPARATOR) != 0, (state & MF_GRAYED) != 0,
                         (state & MFS_CHECKED) != 0});
    }
    return items;
}

void Program::DropFiles(HWND target, const std::vector<std::wstring>& paths) const {
    AskProbe(target, L"drop", paths);
}
