#include "tests/e2e/driver.h"

#include "tests/e2e/probe/fields.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <sstream>

namespace {

// The statics of a message box that hold its text and its icon (there even without an icon).
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kMessageBoxIconId = 1088;

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = L"";
    GetClassNameW(window, name, ARRAYSIZE(name));
    return name;
}

// The windows of the class (any class when null) among the parent's children, or among the
// top-level windows when the parent is null, in window order.
std::vector<HWND> Children(HWND parent, const wchar_t* className) {
    std::vector<HWND> found;
    for (HWND window = FindWindowExW(parent, nullptr, className, nullptr); window != nullptr;
         window = FindWindowExW(parent, window, className, nullptr)) {
        found.push_back(window);
    }
    return found;
}

// A key going down or up: a virtual key, or with KEYEVENTF_UNICODE a character.
INPUT KeyInput(WORD key, wchar_t unit, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki = {key, unit, flags, 0, 0};
    if (key == VK_INSERT || key == VK_DELETE || key == VK_HOME || key == VK_END || key == VK_LEFT ||
        key == VK_RIGHT || key == VK_UP || key == VK_DOWN) {
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    }
    return input;
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
    const std::wstring built = FolderFromEnvironment(L"TARNWICK_TEST_DATA") + L"TarnwickProbe.dll";
    if (!CopyFileW(built.c_str(), probe.c_str(), FALSE)) {
        ADD_FAILURE() << "cannot copy the probe library " << Utf8(built);
        return {};
    }
    WriteBytes(call / L"request",
               Utf16LeFile(JoinFields({kind, std::to_wstring(reinterpret_cast<UINT_PTR>(window))}) +
                           JoinFields(arguments)));
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
    UnhookWindowsHookEx(installed);
    FreeLibrary(library);
    if (!answered) {
        ADD_FAILURE() << "the probe library gave no answer within " << kPatience << " ms (error "
                      << error << ")";
        return {};
    }
    std::vector<std::wstring> answer = SplitFields(ReadText(call / L"answer"));
    if (answer.empty() || answer.front() != L"ok") {
        ADD_FAILURE() << "the probe library in the program: "
                      << (answer.empty() ? "no answer" : Utf8(answer.front()));
        return {};
    }
    answer.erase(answer.begin());
    return answer;
}

} // namespace

std::wstring WindowText(HWND window) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 2000, &copied);
    text.resize(copied);
    return text;
}

void Sandbox::ExpectIni(const std::wstring& values) const {
    std::wistringstream pairs(values);
    const std::vector<std::wstring> awaited{std::istream_iterator<std::wstring, wchar_t>(pairs),
                                            {}};
    ExpectSoon("the settings file", awaited, [&] {
        std::vector<std::wstring> seen;
        for (const std::wstring& pair : awaited) {
            const std::wstring key = pair.substr(0, pair.find(L'='));
            seen.push_back(key + L"=" + IniValue(key).value_or(L"(absent)"));
        }
        return seen;
    });
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

Program::~Program() {
    Kill();
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

std::optional<DWORD> Program::WaitForExit(DWORD milliseconds) const {
    if (WaitForSingleObject(info_.hProcess, milliseconds) != WAIT_OBJECT_0) {
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
    std::vector<HWND> found = Children(nullptr, className);
    std::erase_if(found, [&](HWND window) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        return process != Id() || !IsWindowVisible(window);
    });
    return found;
}

HWND Program::Find(const std::function<bool(HWND)>& match, const std::string& what,
                   DWORD milliseconds) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            const std::vector<HWND> windows = Windows(nullptr);
            const auto first = std::ranges::find_if(windows, match);
            found = first == windows.end() ? nullptr : *first;
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

MessageBoxView Program::WaitForMessageBox(DWORD milliseconds) const {
    // A box is the dialog with a message text (filled in after the box is made: wait for it) and
    // no field to type in: a Find or Go To Line dialog may be open too.
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

void Keys(const std::wstring& chords) {
    static const std::map<std::wstring, WORD> kNames = {
        {L"Ctrl", VK_CONTROL}, {L"Shift", VK_SHIFT},  {L"Alt", VK_MENU},     {L"Insert", VK_INSERT},
        {L"Home", VK_HOME},    {L"End", VK_END},      {L"Left", VK_LEFT},    {L"Right", VK_RIGHT},
        {L"Up", VK_UP},        {L"Down", VK_DOWN},    {L"Enter", VK_RETURN}, {L"Back", VK_BACK},
        {L"Esc", VK_ESCAPE},   {L"Caps", VK_CAPITAL}, {L"F3", VK_F3},        {L"F5", VK_F5},
        {L"F11", VK_F11}};
    std::wistringstream text(chords);
    for (std::wstring chord; text >> chord;) {
        std::vector<INPUT> inputs;
        std::wistringstream names(chord);
        for (std::wstring name; std::getline(names, name, L'+');) {
            const auto known = kNames.find(name);
            // A letter or a digit is its own virtual key.
            const WORD key = known != kNames.end() ? known->second
                             : name.size() == 1    ? WORD(name[0])
                                                   : 0;
            EXPECT_NE(key, 0) << "no key " << Utf8(name);
            // The chord's keys go down in order and come up in the reverse order.
            inputs.insert(inputs.begin() + inputs.size() / 2,
                          {KeyInput(key, 0, 0), KeyInput(key, 0, KEYEVENTF_KEYUP)});
        }
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    }
}

void TypeText(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (wchar_t unit : text) {
        inputs.insert(inputs.end(), {KeyInput(0, unit, KEYEVENTF_UNICODE),
                                     KeyInput(0, unit, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP)});
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::vector<int> StatusPartEdges(HWND statusBar) {
    std::vector<int> edges;
    for (const std::wstring& edge : AskProbe(statusBar, L"parts", {})) {
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
    const std::vector<std::wstring> answer =
        AskProbe(MainWindow(), L"menu", {std::to_wstring(position), std::to_wstring(subposition)});
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
