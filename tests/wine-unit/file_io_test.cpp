// Loading, saving and typing out through a real edit control.
#include "app/settings.h"
#include "app/startup.h"
#include "document/document_path.h"
#include "document/encoding_io.h"
#include "document/file_io.h"
#include "document/typing.h"
#include "language/language_library.h"
#include "language/resource_ids.h"
#include "tests/support/files.h"
#include "tests/wine-unit/edit_window.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace std::string_literals;

class FileOperations : public testing::Test {
  protected:
    void SetUp() override {
        LanguageLibrary = LoadLibraryExW((languages + L"English.dll").c_str(), nullptr,
                                         LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(LanguageLibrary, nullptr);
        lstrcpynW(IniPath, (folder / L"Tarnwick.ini").c_str(), MAX_PATH);
        SettingValues = DefaultIntegerSettings();
        CurrentEncoding = kEncodingAnsi;
        Untitled = 1;
    }
    void TearDown() override {
        StopTyping();
        FreeLibrary(LanguageLibrary);
        LanguageLibrary = nullptr;
        IniPath[0] = L'\0';
    }

    BOOL Run(int mode, const std::wstring& path) {
        lstrcpynW(DocumentPath, path.c_str(), MAX_PATH);
        return FileOperation(mode);
    }
    BOOL Load(const std::wstring& path) { return Run(kFileLoad, path); }
    // The message for a failure with this error code.
    void Report(DWORD error) {
        SetLastError(error);
        ReportFileError(FALSE);
    }
    BOOL Save(const std::wstring& path) { return Run(kFileSave, path); }
    // Loads the bytes from a file and saves them to another; the second file's bytes.
    std::string RoundTrip(const std::string& bytes) {
        WriteBytes(folder / L"in.txt", bytes);
        EXPECT_TRUE(Load(folder / L"in.txt"));
        EXPECT_TRUE(Save(folder / L"out.txt"));
        return ReadBytes(folder / L"out.txt");
    }
    // The files of the test folder other than those named.
    std::vector<std::wstring> Leftovers(const std::vector<std::wstring>& expected) const {
        std::vector<std::wstring> extra;
        WIN32_FIND_DATAW entry;
        HANDLE find = FindFirstFileW((folder / L"*").c_str(), &entry);
        do {
            const std::wstring name = entry.cFileName;
            if (name != L"." && name != L".." &&
                std::find(expected.begin(), expected.end(), name) == expected.end()) {
                extra.push_back(name);
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
        return extra;
    }

    const std::wstring languages = FolderFromEnvironment(L"TARNWICK_LANGUAGES");
    TempFolder folder;
    EditWindow edit;
    MessageBoxAnswerer answers;
};

TEST_F(FileOperations, KeepAnsiBytesExactlyThroughLoadAndSave) {
    const std::string text = "first line\r\nsecond\tline\r\n\r\nlast \x80\xE8\xFF";
    EXPECT_EQ(RoundTrip(text), text);
    EXPECT_EQ(CurrentEncoding, kEncodingAnsi);
    EXPECT_EQ(Untitled, 0);
    EXPECT_FALSE(EditGetModify(EditControl));
    EXPECT_FALSE(EditCanUndo(EditControl));
}

TEST_F(FileOperations, KeepUtf16BytesExactlyThroughLoadAndSave) {
    const std::wstring text = L"\u017Elu\u0165ou\u010Dk\u00FD k\u016F\u0148\r\n\u4E2D\U0001F600";
    std::string bytes = "\xFF\xFE"s;
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    EXPECT_EQ(RoundTrip(bytes), bytes);
    EXPECT_EQ(edit.Text(), text);
    EXPECT_EQ(CurrentEncoding, kEncodingUtf16Le);
}

TEST_F(FileOperations, SaveEmptyTextAsNothingOrTheMarkAlone) {
    EXPECT_EQ(RoundTrip(""), "");
    EXPECT_EQ(CurrentEncoding, kEncodingAnsi);
    EXPECT_EQ(RoundTrip("\xFF\xFE"), "\xFF\xFE");
    EXPECT_EQ(CurrentEncoding, kEncodingUtf16Le);
    EXPECT_EQ(edit.Text(), L"");
}

TEST_F(FileOperations, ReadTheBytesAfterTheMarkAndNothingElse) {
    WriteBytes(folder / L"a.txt", "\xFF\xFE\x41\x00\x42"s);
    ASSERT_TRUE(Load(folder / L"a.txt"));
    EXPECT_EQ(edit.Text(), L"AB") << "an odd last byte is a unit with a zero high byte";
    WriteBytes(folder / L"b.txt", "ab");
    ASSERT_TRUE(Load(folder / L"b.txt"));
    EXPECT_EQ(edit.Text(), L"ab");
    EXPECT_EQ(CurrentEncoding, kEncodingAnsi);
}

TEST_F(FileOperations, RefuseOtherMarksAndKeepTheDocument) {
    edit.SetText(L"kept");
    for (const std::string& bytes : {"\xEF\xBB\xBFx"s, "\xFE\xFFx\0"s, "\xFF\xFE\0\0"s}) {
        WriteBytes(folder / L"marked.txt", bytes);
        SetLastError(0);
        EXPECT_FALSE(Load(folder / L"marked.txt"));
        EXPECT_EQ(GetLastError(), DWORD{ERROR_BAD_FORMAT});
        EXPECT_EQ(edit.Text(), L"kept");
        EXPECT_EQ(CurrentEncoding, kEncodingAnsi);
        EXPECT_EQ(Untitled, 1);
    }
    Report(ERROR_BAD_FORMAT);
    ASSERT_EQ(answers.Boxes().size(), 1u);
    EXPECT_EQ(answers.Boxes()[0].text, LanguageString(IDS_BAD_FORMAT));
    EXPECT_EQ(answers.Boxes()[0].caption, LanguageString(IDS_ERROR_CAPTION));
}

TEST_F(FileOperations, WarnOnceWhenANulCutsTheText) {
    WriteBytes(folder / L"zero.txt", "ab\0cd"s);
    ASSERT_TRUE(Load(folder / L"zero.txt"));
    EXPECT_EQ(edit.Text(), L"ab");
    ASSERT_EQ(answers.Boxes().size(), 1u);
    EXPECT_EQ(answers.Boxes()[0].text, LanguageString(IDS_TEXT_STOPS_AT_NUL));

    WriteBytes(folder / L"zero16.txt", "\xFF\xFEx\0\0\0y\0"s);
    ASSERT_TRUE(Load(folder / L"zero16.txt"));
    EXPECT_EQ(edit.Text(), L"x");
    EXPECT_EQ(answers.Boxes().size(), 2u);

    WriteBytes(folder / L"clean.txt", "\xFF\xFEx\0"s);
    ASSERT_TRUE(Load(folder / L"clean.txt"));
    EXPECT_EQ(answers.Boxes().size(), 2u) << "no warning without a NUL";
}

TEST_F(FileOperations, RefuseFilesOfFourGibibytesWithoutReadingThem) {
    {
        HANDLE file = CreateFileW((folder / L"huge.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        LARGE_INTEGER size;
        size.QuadPart = 4LL << 30;
        ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file));
        CloseHandle(file);
    }
    EXPECT_FALSE(Load(folder / L"huge.txt"));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_FILE_TOO_LARGE});
    Report(ERROR_FILE_TOO_LARGE);
    ASSERT_EQ(answers.Boxes().size(), 1u);
    EXPECT_EQ(answers.Boxes()[0].text, LanguageString(IDS_FILE_TOO_LARGE));
}

TEST_F(FileOperations, WriteAnsiThroughTheCodePageAndUtf16WithItsMark) {
    edit.SetText(L"a\u00E9b\r\n");
    CurrentEncoding = kEncodingAnsi;
    ASSERT_TRUE(Save(folder / L"ansi.txt"));
    std::string expected(1, '\0');
    WideCharToMultiByte(CP_ACP, 0, L"\u00E9", 1, expected.data(), 1, nullptr, nullptr);
    EXPECT_EQ(ReadBytes(folder / L"ansi.txt"), "a" + expected + "b\r\n");

    CurrentEncoding = kEncodingUtf16Le;
    ASSERT_TRUE(Save(folder / L"wide.txt"));
    EXPECT_EQ(ReadBytes(folder / L"wide.txt"), "\xFF\xFE"s + "a\0\xE9\0b\0\r\0\n\0"s);
}

TEST_F(FileOperations, ClearTheModifiedFlagOnlyWhenASaveSucceeds) {
    WriteBytes(folder / L"locked.txt", "original");
    HANDLE lock = CreateFileW((folder / L"locked.txt").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    edit.SetText(L"new text");
    EditSetModify(EditControl, true);
    EXPECT_FALSE(Save(folder / L"locked.txt"));
    EXPECT_TRUE(EditGetModify(EditControl));
    CloseHandle(lock);
    EXPECT_EQ(ReadBytes(folder / L"locked.txt"), "original");
    EXPECT_TRUE(Leftovers({L"locked.txt"}).empty()) << "a temporary file stayed behind";

    ASSERT_TRUE(Save(folder / L"locked.txt"));
    EXPECT_FALSE(EditGetModify(EditControl));
    EXPECT_EQ(ReadBytes(folder / L"locked.txt"), "new text");
}

TEST_F(FileOperations, WriteAFileWithSeveralNamesInPlace) {
    WriteBytes(folder / L"doc.txt", "old");
    ASSERT_TRUE(CreateHardLinkW((folder / L"other name.txt").c_str(), (folder / L"doc.txt").c_str(),
                                nullptr));
    edit.SetText(L"new");
    ASSERT_TRUE(Save(folder / L"doc.txt"));
    EXPECT_EQ(ReadBytes(folder / L"doc.txt"), "new");
    EXPECT_EQ(ReadBytes(folder / L"other name.txt"), "new") << "the other name lost the file";
    EXPECT_EQ(Leftovers({L"doc.txt", L"other name.txt"}), std::vector<std::wstring>{});
}

TEST_F(FileOperations, ReplaceTheFileWithoutLeavingAnythingBehind) {
    WriteBytes(folder / L"doc.txt", std::string(5000, 'o'));
    edit.SetText(L"short");
    ASSERT_TRUE(Save(folder / L"doc.txt"));
    EXPECT_EQ(ReadBytes(folder / L"doc.txt"), "short");
    EXPECT_TRUE(Leftovers({L"doc.txt"}).empty());
}

TEST_F(FileOperations, LoadAFileThatAnotherProgramHasOpenForWriting) {
    WriteBytes(folder / L"shared.txt", "shared");
    HANDLE writer = CreateFileW((folder / L"shared.txt").c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(Load(folder / L"shared.txt"));
    CloseHandle(writer);

    HANDLE exclusive = CreateFileW((folder / L"shared.txt").c_str(), GENERIC_READ, 0, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_FALSE(Load(folder / L"shared.txt"));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_SHARING_VIOLATION});
    CloseHandle(exclusive);
    Report(ERROR_SHARING_VIOLATION);
    ASSERT_EQ(answers.Boxes().size(), 1u);
    EXPECT_EQ(answers.Boxes()[0].text, LanguageString(IDS_FILE_ERROR));
}

TEST_F(FileOperations, ChangeTheEncodingWithoutTouchingTheText) {
    edit.SetText(L"text");
    ChangeCurrentEncoding(kEncodingAnsi);
    EXPECT_FALSE(EditGetModify(EditControl)) << "the encoding that is current changes nothing";
    ChangeCurrentEncoding(kEncodingUtf16Le);
    EXPECT_TRUE(EditGetModify(EditControl));
    EXPECT_EQ(CurrentEncoding, kEncodingUtf16Le);
    EXPECT_EQ(edit.Text(), L"text");
}

TEST_F(FileOperations, StoreTheEncodingOfNewDocumentsAtOnce) {
    ChooseNewFileEncoding(IDM_OPTIONS_NEW_FILE_UTF16LE);
    EXPECT_EQ(Setting(IntKey::NewFileType), 411);
    EXPECT_EQ(IniValue(IniPath, L"Tarnwick", L"NewFileType"), L"411");
    ChooseNewFileEncoding(IDM_OPTIONS_NEW_FILE_ANSI);
    EXPECT_EQ(IniValue(IniPath, L"Tarnwick", L"NewFileType"), L"410");
    EXPECT_EQ(CurrentEncoding, kEncodingAnsi) << "the open document keeps its encoding";
}

TEST_F(FileOperations, TypeOutAFileCharacterByCharacter) {
    WriteBytes(folder / L"typed.txt", "a\r\nb\rc\nd");
    ASSERT_TRUE(Run(kFileTypeOut, folder / L"typed.txt"));
    EXPECT_EQ(Untitled, 0);
    ASSERT_TRUE(PumpUntil([] { return TypingActive.load() == 0; }));
    StopTyping();
    // The lone carriage return is dropped; the lone line feed is typed, and the control takes
    // it as a line break of its own.
    EXPECT_EQ(edit.Text(), L"a\r\nbc\r\nd");
    EXPECT_FALSE(EditGetModify(EditControl));
    EXPECT_FALSE(EditCanUndo(EditControl));
}

TEST_F(FileOperations, StopTypingWhenTheFlagIsCleared) {
    WriteBytes(folder / L"long.txt", "\xFF\xFE"s + "a\0b\0c\0d\0e\0f\0g\0h\0"s);
    ASSERT_TRUE(Run(kFileTypeOut, folder / L"long.txt"));
    EXPECT_EQ(CurrentEncoding, kEncodingUtf16Le);
    ASSERT_TRUE(PumpUntil([&] { return edit.Text().size() >= 2; }));
    TypingActive.store(0);
    ASSERT_TRUE(PumpUntil([&] { return edit.Text().size() < 8 && TypingActive.load() == 0; }));
    StopTyping();
    const std::wstring typed = edit.Text();
    EXPECT_LT(typed.size(), 8u);
    EXPECT_EQ(typed, std::wstring(L"abcdefgh").substr(0, typed.size()));
    EXPECT_FALSE(EditGetModify(EditControl));
}

TEST_F(FileOperations, StopTheRunningTypingBeforeASecondOne) {
    WriteBytes(folder / L"first.txt", std::string(40, 'x'));
    WriteBytes(folder / L"second.txt", "yz");
    ASSERT_TRUE(Run(kFileTypeOut, folder / L"first.txt"));
    ASSERT_TRUE(PumpUntil([&] { return !edit.Text().empty(); }));
    ASSERT_TRUE(Run(kFileTypeOut, folder / L"second.txt"));
    ASSERT_TRUE(PumpUntil([] { return TypingActive.load() == 0; }));
    StopTyping();
    const std::wstring typed = edit.Text();
    ASSERT_GE(typed.size(), 3u);
    EXPECT_LT(typed.size(), 42u) << "the first typing went on";
    EXPECT_EQ(typed.substr(typed.size() - 2), L"yz");
}

TEST_F(FileOperations, TypeNothingForAFileWithoutText) {
    WriteBytes(folder / L"mark.txt", "\xFF\xFE");
    edit.SetText(L"");
    ASSERT_TRUE(Run(kFileTypeOut, folder / L"mark.txt"));
    EXPECT_EQ(TypingActive.load(), 0);
    StopTyping();
    EXPECT_EQ(edit.Text(), L"");
    EXPECT_FALSE(EditGetModify(EditControl));
}

// The ANSI code page is the process's: Wine takes it from LANG, so ctest runs this suite once
// as en_US (1252) and once as cs_CZ (1250).
TEST_F(FileOperations, ConvertAnsiThroughTheSystemCodePage) {
    const UINT codePage = GetACP();
    wchar_t expected[16];
    if (GetEnvironmentVariableW(L"TARNWICK_EXPECTED_ACP", expected, 16) > 0) {
        ASSERT_EQ(codePage, static_cast<UINT>(_wtoi(expected))) << "LANG did not choose it";
    }
    WriteBytes(folder / L"cp.txt", "\xE8\x9A");
    ASSERT_TRUE(Load(folder / L"cp.txt"));
    if (codePage == 932) {
        // A double-byte code page: the saved file may need more bytes than the text has
        // characters.
        edit.SetText(L"\u65E5\u672C\u8A9E");
        ASSERT_TRUE(Save(folder / L"cp-out.txt"));
        EXPECT_EQ(ReadBytes(folder / L"cp-out.txt"), "\x93\xFA\x96\x7B\x8C\xEA");
        ASSERT_TRUE(Load(folder / L"cp-out.txt"));
        EXPECT_EQ(edit.Text(), L"\u65E5\u672C\u8A9E");
        return;
    }
    if (codePage == 1250) {
        EXPECT_EQ(edit.Text(), L"\u010D\u0161");
    } else if (codePage == 1252) {
        EXPECT_EQ(edit.Text(), L"\u00E8\u0161");
    } else {
        GTEST_SKIP() << "no expectation for code page " << codePage;
    }
    // Text the code page holds exactly is saved without a question.
    edit.SetText(codePage == 1250 ? L"\u010D" : L"\u00E8");
    ASSERT_TRUE(Save(folder / L"cp-out.txt"));
    EXPECT_EQ(ReadBytes(folder / L"cp-out.txt"), "\xE8");
    EXPECT_TRUE(answers.Boxes().empty());
    // A character the code page lacks is asked about first; Yes (the first button) saves its
    // closest letter or the default character.
    edit.SetText(L"\u010D\u4E2D");
    ASSERT_TRUE(Save(folder / L"cp-out.txt"));
    EXPECT_EQ(ReadBytes(folder / L"cp-out.txt"), codePage == 1250 ? "\xE8?" : "c?");
    ASSERT_EQ(answers.Boxes().size(), 1u);
    EXPECT_EQ(answers.Boxes()[0].text, LanguageString(IDS_ANSI_CHANGES_CHARACTERS));
}

// A drive that ./test mounts for these tests (as root); empty when there is none.
std::wstring TestDrive(const wchar_t* variable) {
    wchar_t drive[16];
    const DWORD length = GetEnvironmentVariableW(variable, drive, 16);
    return length > 0 && length < 16 ? std::wstring(drive, length) : std::wstring();
}

std::vector<std::wstring> FilesOn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            names.push_back(entry.cFileName);
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(FileOperations, KeepTheOldContentWhenTheDiskIsFull) {
    const std::wstring disk = TestDrive(L"TARNWICK_SMALL_DRIVE");
    if (disk.empty()) {
        GTEST_SKIP() << "no small disk was mounted for this run";
    }
    const std::string original(100 * 1024, 'o');
    WriteBytes(disk + L"doc.txt", original);
    // Fill the disk, leaving less room than the new text needs.
    ULARGE_INTEGER free{};
    ASSERT_TRUE(GetDiskFreeSpaceExW(disk.c_str(), &free, nullptr, nullptr));
    ASSERT_GT(free.QuadPart, 40u * 1024);
    WriteBytes(disk + L"filler",
               std::string(static_cast<std::size_t>(free.QuadPart) - 20 * 1024, 'f'));

    edit.SetText(std::wstring(60 * 1024, L'n'));
    EditSetModify(EditControl, true);
    CurrentEncoding = kEncodingUtf16Le;
    EXPECT_FALSE(Save(disk + L"doc.txt"));
    const DWORD error = GetLastError();
    EXPECT_EQ(ReadBytes(disk + L"doc.txt"), original);
    EXPECT_TRUE(EditGetModify(EditControl));
    EXPECT_EQ(FilesOn(disk), (std::vector<std::wstring>{L"doc.txt", L"filler"}))
        << "a temporary file stayed behind";

    // A new file that does not fit is not left half-written.
    EXPECT_FALSE(Save(disk + L"new.txt"));
    EXPECT_EQ(FilesOn(disk), (std::vector<std::wstring>{L"doc.txt", L"filler"}));

    Report(error);
    ASSERT_EQ(answers.Boxes().size(), 1u);
    EXPECT_EQ(answers.Boxes()[0].text, LanguageString(IDS_FILE_ERROR));
    DeleteFileW((disk + L"filler").c_str());
    DeleteFileW((disk + L"doc.txt").c_str());
}

TEST_F(FileOperations, KeepAFileOnAReadOnlyDisk) {
    // Running as root, Wine lets a write through the read-only attribute, so the test uses a
    // read-only disk instead.
    const std::wstring disk = TestDrive(L"TARNWICK_READONLY_DRIVE");
    if (disk.empty()) {
        GTEST_SKIP() << "no read-only disk was mounted for this run";
    }
    ASSERT_TRUE(Load(disk + L"readonly.txt"));
    edit.SetText(L"changed");
    EditSetModify(EditControl, true);
    EXPECT_FALSE(FileOperation(kFileSave));
    EXPECT_EQ(ReadBytes(disk + L"readonly.txt"), "read only");
    EXPECT_TRUE(EditGetModify(EditControl));
}

} // namespace
