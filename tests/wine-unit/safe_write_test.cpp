// Saves whose swap of the new content fails in each way ReplaceFileW documents. This program
// links a substitute of its own in place of the system's ReplaceFileW: it passes every call on
// unless a test asks for a failure, and then leaves the files as that failure would.
#include "app/settings.h"
#include "document/document_path.h"
#include "document/encoding_io.h"
#include "document/file_io.h"
#include "language/language_library.h"
#include "language/percent_template.h"
#include "language/resource_ids.h"
#include "tests/support/files.h"
#include "tests/wine-unit/edit_window.h"

#include <gtest/gtest.h>

namespace {

using Names = std::vector<std::wstring>;

// The failure the next swap meets: 0 for none, else the error it reports.
DWORD SwapFailure;
// Where the failure lets another program put a file of its own in the target's place.
bool FileAppearsInItsPlace;

BOOL WINAPI SubstituteReplaceFileW(LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup,
                                   DWORD flags, LPVOID exclude, LPVOID reserved) {
    const DWORD failure = std::exchange(SwapFailure, 0);
    if (failure == 0) {
        using Function = decltype(&ReplaceFileW);
        const auto system = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "ReplaceFileW")));
        return system(replaced, replacement, backup, flags, exclude, reserved);
    }
    // 1176: the target is gone, the new content still under its own name; 1177: the target
    // was moved aside. 1175 and a refusal leave both files as they were.
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

} // namespace

// Calls of the program to the imported ReplaceFileW go through this pointer.
extern "C" {
decltype(&ReplaceFileW) __imp_ReplaceFileW = SubstituteReplaceFileW;
}

namespace {

class FailedSwap : public testing::Test {
  protected:
    void SetUp() override {
        LanguageLibrary =
            LoadResources(FolderFromEnvironment(L"TARNWICK_LANGUAGES") + L"English.dll");
        ASSERT_NE(LanguageLibrary, nullptr);
        SettingValues = DefaultIntegerSettings();
        CurrentEncoding = kEncodingAnsi;
    }
    void TearDown() override {
        SwapFailure = 0;
        FileAppearsInItsPlace = false;
        FreeLibrary(LanguageLibrary);
        LanguageLibrary = nullptr;
    }

    TempFolder folder;
    EditWindow edit;
    MessageBoxAnswerer answers;
};

// The target ends with the new text, or, where that cannot be made sure, the new text stays
// in the save's own file and the message names it. Nothing is ever deleted that holds a text.
TEST_F(FailedSwap, NeverCostsTheNewTextOrTheFileInItsPlace) {
    const struct {
        const char* failure;
        DWORD error;
        bool appears;
        DWORD attributes;
        Names files;
    } cases[] = {
        {"refused, hidden file written in place",
         ERROR_ACCESS_DENIED,
         false,
         FILE_ATTRIBUTE_HIDDEN,
         {L"doc.txt"}},
        {"replaced file not removed",
         ERROR_UNABLE_TO_REMOVE_REPLACED,
         false,
         FILE_ATTRIBUTE_ARCHIVE,
         {L"doc.txt"}},
        {"target gone",
         ERROR_UNABLE_TO_MOVE_REPLACEMENT,
         false,
         FILE_ATTRIBUTE_ARCHIVE,
         {L"doc.txt"}},
        {"target moved aside",
         ERROR_UNABLE_TO_MOVE_REPLACEMENT_2,
         false,
         FILE_ATTRIBUTE_ARCHIVE,
         {L"doc.txt", L"doc.txt.aside"}},
        {"target gone, another file there",
         ERROR_UNABLE_TO_MOVE_REPLACEMENT,
         true,
         FILE_ATTRIBUTE_ARCHIVE,
         {L"doc.txt"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failure);
        TempFolder here;
        const std::wstring doc = here / L"doc.txt";
        WriteBytes(doc, "old");
        SetFileAttributesW(doc.c_str(), c.attributes);
        edit.SetText(L"new");
        lstrcpynW(DocumentPath, doc.c_str(), MAX_PATH);
        SwapFailure = c.error;
        FileAppearsInItsPlace = c.appears;
        const std::size_t boxesBefore = answers.Boxes().size();
        const BOOL saved = ReportFileError(FileOperation(kFileSave));
        Names files = FilesIn(here.Path());
        EXPECT_EQ(SwapFailure, 0u) << "the save never tried the swap";
        if (!c.appears) {
            EXPECT_TRUE(saved);
            EXPECT_EQ(ReadBytes(doc), "new");
            EXPECT_EQ(files, c.files);
            EXPECT_EQ(GetFileAttributesW(doc.c_str()) & FILE_ATTRIBUTE_HIDDEN,
                      c.attributes & FILE_ATTRIBUTE_HIDDEN);
            EXPECT_EQ(answers.Boxes().size(), boxesBefore) << "a successful save said something";
            continue;
        }
        EXPECT_FALSE(saved);
        EXPECT_EQ(ReadBytes(doc), "theirs") << "the file that appeared was overwritten";
        ASSERT_EQ(files.size(), 2u);
        const std::wstring kept = here / files[1];
        EXPECT_TRUE(files[1].starts_with(L"twk") && files[1].ends_with(L"~doc.txt.tmp"))
            << Utf8(files[1]);
        EXPECT_EQ(ReadBytes(kept), "new");
        ASSERT_TRUE(PumpUntil([&] { return answers.Boxes().size() > boxesBefore; }));
        wchar_t message[512];
        FillPercentTemplate(AsUnits(LanguageString(IDS_TEXT_KEPT_IN).c_str()),
                            AsUnits(kept.c_str()), AsUnitBuffer(message));
        EXPECT_EQ(answers.Boxes().back().text, message);
    }
}

} // namespace
