// Loading, saving and typing out through a real edit control. This program links a substitute
// of its own in place of the system's ReplaceFileW: it passes every call on unless a test asks
// for a failure, and then leaves the files as that failure would.
#include "app/commands.h"
#include "app/settings.h"
#include "app/startup.h"
#include "document/document_path.h"
#include "document/encoding_io.h"
#include "document/file_io.h"
#include "document/file_reading.h"
#include "document/typing.h"
#include "document/view_guard.h"
#include "language/language_library.h"
#include "language/percent_template.h"
#include "language/resource_ids.h"
#include "tests/support/files.h"
#include "tests/wine-unit/edit_window.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace std::string_literals;
using Names = std::vector<std::wstring>;

// The failure the next swap meets: 0 for none, else the error it reports.
DWORD SwapFailure;
// Where the failure lets another program put a file of its own in the target's place.
bool FileAppearsInItsPlace;

BOOL WINAPI SubstituteReplaceFileW(LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup,
                                   DWORD flags, LPVOID exclude, LPVOID reserved) {
    const DWORD failure = std::exchange(SwapFailure, 0);
    if (failure == 0) {
        const auto system = reinterpret_cast<decltype(&ReplaceFileW)>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "ReplaceFileW")));
        return system(replaced, replacement, backup, flags, exclude, reserved);
    }
    // 1176: the target is gone, the new content still under its own name; 1177: the target
    // was moved aside. A refusal leaves both files as they were.
    if (failure == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
        DeleteFileW(replaced);
    } else if (failure == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        MoveFileW(replaced, (std::wstring(replaced) + L".aside").c_str());
    }
    if (FileAppearsInItsPlace) {
        WriteBytes(replaced, "theirs");
    }
    SetLastError(failure);
    return FALSE;
}

// The texts of the message boxes shown on this thread while a test runs. Each box is answered
// with its first button (Yes of a question, else OK) once its own message loop runs.
std::vector<std::wstring> Boxes;

LRESULT CALLBACK AnswerBox(int code, WPARAM sent, LPARAM message) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(message);
    if (code == HC_ACTION && call->message == WM_INITDIALOG && GetDlgItem(call->hwnd, 0xFFFF)) {
        wchar_t said[1024] = L"";
        GetDlgItemTextW(call->hwnd, 0xFFFF, said, 1024);
        Boxes.push_back(said);
        PostMessageW(call->hwnd, WM_COMMAND, GetDlgItem(call->hwnd, IDYES) ? IDYES : IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, sent, message);
}

class FileOperations : public testing::Test {
  protected:
    void SetUp() override {
        LanguageLibrary =
            LoadResources(FolderFromEnvironment(L"TARNWICK_LANGUAGES") + L"English.dll");
        ASSERT_NE(LanguageLibrary, nullptr);
        lstrcpynW(IniPath, (folder / L"Tarnwick.ini").c_str(), MAX_PATH);
        SettingValues = DefaultIntegerSettings();
        CurrentEncoding = kEncodingAnsi;
        Untitled = 1;
        Boxes.clear();
        answerer = SetWindowsHookExW(WH_CALLWNDPROCRET, AnswerBox, nullptr, GetCurrentThreadId());
    }
    void TearDown() override {
        UnhookWindowsHookEx(answerer);
        StopTyping();
        SwapFailure = 0;
        FreeLibrary(LanguageLibrary);
        LanguageLibrary = nullptr;
        IniPath[0] = L'\0';
    }

    BOOL Run(int mode, const std::wstring& path) {
        lstrcpynW(DocumentPath, path.c_str(), MAX_PATH);
        return FileOperation(mode);
    }
    // Expects the text a load hands to the edit control, read either way, and whether it found
    // bytes that the ANSI code page cannot read.
    void ExpectRead(const std::wstring& path, const std::wstring& text, bool replaced = false) {
        for (ReadWay way : {ReadWay::Mapped, ReadWay::Read}) {
            UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            FileText read;
            ASSERT_TRUE(file && ReadFileText(file.Get(), way, read)) << "error " << GetLastError();
            EXPECT_EQ(read.bytesReplaced, replaced);
            const LockedBlock locked(read.text.Get());
            EXPECT_TRUE(std::wstring(locked.As<wchar_t>(), read.length) == text)
                << "read " << (way == ReadWay::Mapped ? "mapped" : "with ReadFile");
        }
    }

    TempFolder folder;
    EditWindow edit;
    HHOOK answerer = nullptr;
};

// Each file is loaded, while another program has it open for writing, and saved again: empty
// files and a lone mark stay as they were. A NUL ends the text, with a warning while the file is
// still whole; an odd last byte of UTF-16 is a unit with a zero high byte.
TEST_F(FileOperations, KeepTheBytesOfEachEncodingUpToTheFirstNulWithAWarning) {
    const struct {
        std::string bytes;
        EncodingId encoding;
        const wchar_t* text;
        std::string saved;
        bool warned = false;
    } cases[] = {{"", kEncodingAnsi, L"", ""},
                 {"\xFF\xFE", kEncodingUtf16Le, L"", "\xFF\xFE"},
                 {"\xFF\xFE\x41\x00\x42"s, kEncodingUtf16Le, L"AB", "\xFF\xFE\x41\x00\x42\x00"s},
                 {"ab\0cd"s, kEncodingAnsi, L"ab", "ab", true},
                 {"\xFF\xFEx\0\0\0y\0"s, kEncodingUtf16Le, L"x", "\xFF\xFEx\0"s, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        Boxes.clear();
        WriteBytes(folder / L"in.txt", c.bytes);
        const HeldFile writer(folder / L"in.txt", GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_TRUE(Run(kFileLoad, folder / L"in.txt"));
        EXPECT_EQ(CurrentEncoding, c.encoding);
        EXPECT_EQ(edit.Text(), c.text);
        EXPECT_EQ(Boxes,
                  Names(c.warned ? 1 : 0, ResourceString(LanguageLibrary, IDS_TEXT_STOPS_AT_NUL)));
        EXPECT_FALSE(EditGetModify(EditControl));
        EXPECT_FALSE(EditCanUndo(EditControl));
        ASSERT_TRUE(Run(kFileSave, folder / L"out.txt"));
        EXPECT_EQ(ReadBytes(folder / L"out.txt"), c.saved);
    }
}

// Choosing the document's own encoding again changes nothing; the new files' encoding is
// stored at once, and the open document keeps its own.
TEST_F(FileOperations, ChangeTheEncodingWithoutTouchingTheTextAndStoreTheNewFilesOneAtOnce) {
    ChangeCurrentEncoding(kEncodingAnsi);
    EXPECT_FALSE(EditGetModify(EditControl)) << "the encoding that is current changes nothing";
    ChangeCurrentEncoding(kEncodingUtf16Le);
    ChooseNewFileEncoding(IDM_OPTIONS_NEW_FILE_UTF16LE);
    EXPECT_EQ(IniValue(IniPath, L"Tarnwick", L"NewFileType"), L"411");
    ChooseNewFileEncoding(IDM_OPTIONS_NEW_FILE_ANSI);
    EXPECT_EQ(IniValue(IniPath, L"Tarnwick", L"NewFileType"), L"410");
    EXPECT_EQ(CurrentEncoding, kEncodingUtf16Le) << "the open document keeps its encoding";
}

// A command the window does not know stops a typing, and only the next one closes the window.
TEST_F(FileOperations, StopTypingForAnUnknownCommand) {
    WriteBytes(folder / L"long.txt", "\xFF\xFE"s + "a\0b\0c\0d\0e\0f\0g\0h\0"s);
    ASSERT_TRUE(Run(kFileTypeOut, folder / L"long.txt"));
    ASSERT_TRUE(PumpUntil([&] { return edit.Text().size() >= 2; }));
    RunCommand(IDM_FILE_EXIT);
    EXPECT_EQ(TypingActive.load(), 0);
    // The playback has ended by then: unmodified, nothing to undo, no mark in the title.
    EXPECT_FALSE(EditGetModify(EditControl));
    EXPECT_FALSE(EditCanUndo(EditControl));
    wchar_t title[300];
    GetWindowTextW(MainWindow, title, 300);
    EXPECT_FALSE(std::wstring(title).starts_with(L"* ")) << "the title kept the modified mark";
    EXPECT_LT(edit.Text().size(), 8u) << "the playback had ended before the command";
    EXPECT_TRUE(IsWindow(MainWindow)) << "a typing was running: the window stays";
    RunCommand(IDM_FILE_EXIT);
    EXPECT_FALSE(IsWindow(MainWindow));
}

// The ANSI code page is the process's: Wine takes it from LANG, so ctest runs this suite once
// as en_US (1252), once as cs_CZ (1250) and once as ja_JP (932).
TEST_F(FileOperations, ConvertAnsiThroughTheSystemCodePage) {
    const UINT codePage = GetACP();
    const std::wstring expected = Environment(L"TARNWICK_EXPECTED_ACP");
    if (!expected.empty()) {
        ASSERT_EQ(codePage, static_cast<UINT>(_wtoi(expected.c_str()))) << "LANG did not choose it";
    }
    // A two-byte character across the end of a mapped file's first 4 MiB slice; then UTF-16 over
    // several slices, its mark moving each slice off the mapping's grid. A middle dot (932: 81 45)
    // has the first slice checked again for unreadable bytes: the lead byte cut at its end is none.
    const std::string pair = codePage == 932 ? "\x93\xFA" : "\xE8\x9A";
    WriteBytes(folder / L"slices.txt", "\x81\x45" + std::string((4u << 20) - 3, 'a') + pair + "z");
    ExpectRead(folder / L"slices.txt", ReadText(folder / L"slices.txt"));
    std::wstring wide(10u << 20, L'w');
    wide[(4u << 20) - 1] = L'\u00E8';
    wide.back() = L'\u65E5';
    WriteBytes(folder / L"slices.txt", Utf16LeFile(wide));
    ExpectRead(folder / L"slices.txt", wide);

    if (codePage == 932) {
        // Under a double-byte code page the file may need more bytes than the text has characters.
        edit.SetText(L"\u65E5\u672C\u8A9E");
        ASSERT_TRUE(Run(kFileSave, folder / L"cp-out.txt"));
        EXPECT_EQ(ReadBytes(folder / L"cp-out.txt"), "\x93\xFA\x96\x7B\x8C\xEA");
        // A lead byte with a trail byte it cannot take (81 7F) reads as the code page shows it,
        // either way, with a notice (the slices above, a real middle dot among them, had none).
        WriteBytes(folder / L"cp.txt", "a\x81\x7F"s + "b");
        ExpectRead(folder / L"cp.txt", ReadText(folder / L"cp.txt"), true);
        ASSERT_TRUE(Run(kFileLoad, folder / L"cp.txt"));
        EXPECT_EQ(edit.Text(), ReadText(folder / L"cp.txt"));
        EXPECT_EQ(Boxes, Names{ResourceString(LanguageLibrary, IDS_ANSI_BYTES_REPLACED)});
        return;
    }
    if (codePage != 1250 && codePage != 1252) {
        GTEST_SKIP() << "no expectation for code page " << codePage;
    }
    // A character the code page lacks is asked about first; Yes (the first button) saves its
    // closest letter or the default character.
    edit.SetText(L"\u010D\u4E2D");
    ASSERT_TRUE(Run(kFileSave, folder / L"cp-out.txt"));
    EXPECT_EQ(ReadBytes(folder / L"cp-out.txt"), codePage == 1250 ? "\xE8?" : "c?");
    EXPECT_EQ(Boxes, Names{ResourceString(LanguageLibrary, IDS_ANSI_CHANGES_CHARACTERS)});
}

// A page of a mapped file that cannot be read ends the read with an error instead of the
// program. Windows forbids shortening a mapped file; under Wine a Linux program can, and the
// page beyond the new end then faults as it would on a failing disk.
TEST_F(FileOperations, GiveUpOnAMappedPageThatCannotBeRead) {
    const std::string linuxPath = "/tmp/tarnwick-mapped-" + std::to_string(GetCurrentProcessId());
    const std::wstring path = L"Z:" + std::wstring(linuxPath.begin(), linuxPath.end());
    WriteBytes(path, std::string(1 << 20, 'm'));
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    HANDLE mapping = CreateFileMappingW(file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    ASSERT_NE(view, nullptr);
    if (WinExec(("/usr/bin/truncate -s 4096 " + linuxPath).c_str(), SW_HIDE) <= 31) {
        GTEST_SKIP() << "no Linux program could shorten the file";
    }
    ASSERT_TRUE(PumpUntil([&] {
        LARGE_INTEGER size{};
        return GetFileSizeEx(file.Get(), &size) && size.QuadPart == 4096;
    }));

    std::pair<const void*, std::string> copy{view, std::string(1 << 20, '\0')};
    const auto read = [](void* context) {
        auto& [source, bytes] = *static_cast<std::pair<const void*, std::string>*>(context);
        std::memcpy(bytes.data(), source, bytes.size());
        return true;
    };
    EXPECT_FALSE(ReadGuarded(view, 1 << 20, read, &copy));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_READ_FAULT));
    EXPECT_EQ(copy.second.substr(0, 4096), std::string(4096, 'm'));
    // The guard is gone with the read: the same bytes read again are still there.
    copy.second.assign(4096, '\0');
    EXPECT_TRUE(ReadGuarded(view, 4096, read, &copy));
    EXPECT_EQ(copy.second, std::string(4096, 'm'));
    UnmapViewOfFile(view);
    CloseHandle(mapping);
}

// The target ends with the new text, or else the new text stays in the save's own file, named by
// the message: nothing that holds a text is deleted. A file with a second name is written in place
// (the other name would keep the old content) and shortened, since the new text is shorter.
TEST_F(FileOperations, NeverLoseTheNewTextOrTheFileInItsPlaceToAFailedSwap) {
    const struct {
        const char* failure;
        DWORD error = 0;
        Names files = {L"doc.txt"};
        bool hidden = false, appears = false; // appears: another program puts a file in its place
    } cases[] = {
        {"none, a file with a second name", 0, {L"doc.txt", L"other name.txt"}},
        {"refused, hidden file written in place", ERROR_ACCESS_DENIED, {L"doc.txt"}, true},
        {"target gone", ERROR_UNABLE_TO_MOVE_REPLACEMENT},
        {"target moved aside", ERROR_UNABLE_TO_MOVE_REPLACEMENT_2, {L"doc.txt", L"doc.txt.aside"}},
        {"target gone, another file there", ERROR_UNABLE_TO_MOVE_REPLACEMENT, {}, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failure);
        TempFolder here;
        const std::wstring doc = here / L"doc.txt";
        WriteBytes(doc, "older");
        SetFileAttributesW(doc.c_str(), c.hidden ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_ARCHIVE);
        if (c.files.size() == 2 && c.files[1] == L"other name.txt") {
            ASSERT_TRUE(CreateHardLinkW((here / c.files[1]).c_str(), doc.c_str(), nullptr));
        }
        edit.SetText(L"new");
        SwapFailure = c.error;
        FileAppearsInItsPlace = c.appears;
        Boxes.clear();
        EXPECT_EQ(ReportFileError(Run(kFileSave, doc)) != FALSE, !c.appears);
        const Names files = FilesIn(here.Path());
        EXPECT_EQ(SwapFailure, 0u) << "the save never tried the swap";
        if (!c.appears) {
            EXPECT_EQ(files, c.files);
            for (const std::wstring& name : files) {
                EXPECT_EQ(ReadBytes(here / name), name.ends_with(L".aside") ? "older" : "new")
                    << Utf8(name);
            }
            EXPECT_EQ((GetFileAttributesW(doc.c_str()) & FILE_ATTRIBUTE_HIDDEN) != 0, c.hidden);
            EXPECT_EQ(Boxes, Names{}) << "a successful save said something";
            continue;
        }
        EXPECT_EQ(ReadBytes(doc), "theirs") << "the file that appeared was overwritten";
        ASSERT_EQ(files.size(), 2u);
        const std::wstring kept = here / files[1];
        EXPECT_TRUE(files[1].starts_with(L"twk") && files[1].ends_with(L"~doc.txt.tmp"))
            << Utf8(files[1]);
        EXPECT_EQ(ReadBytes(kept), "new");
        wchar_t message[512];
        FillPercentTemplate(AsUnits(ResourceString(LanguageLibrary, IDS_TEXT_KEPT_IN).c_str()),
                            AsUnits(kept.c_str()), AsUnitBuffer(message));
        EXPECT_EQ(Boxes, Names{message});
    }
}

} // namespace

// Calls of the program to the imported ReplaceFileW go through this pointer.
extern "C" {
decltype(&ReplaceFileW) __imp_ReplaceFileW = SubstituteReplaceFileW;
}
