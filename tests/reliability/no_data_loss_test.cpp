// The promise that no fault costs the user a byte. Each row sets one fault up, walks a user through
// it in the real program, and compares the bytes of every file the user owns and the window's text.
#include "language/resource_ids.h"
#include "tests/e2e/driver.h"

#include <dlgs.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <set>

namespace {

using namespace std::string_literals;
using Names = std::vector<std::wstring>;

// What one row found: what happened, and whether the user lost anything on the way.
struct Ledger {
    std::string outcome = "did not finish";
    bool lost = false;
    bool skipped = false;

    // A check of something the user owns: when it fails, data was lost.
    void Keeps(bool kept, const std::string& what) {
        if (!kept) {
            lost = true;
            ADD_FAILURE() << "data lost: " << what;
        }
    }
    void KeepsFile(const std::wstring& path, const std::string& bytes) {
        const std::string seen = ReadBytes(path);
        Keeps(seen == bytes, Utf8(path) + " holds " + std::to_string(seen.size()) + " bytes \"" +
                                 seen.substr(0, 40) + "\", not \"" + bytes.substr(0, 40) + "\"");
    }
    // The window still shows the document: its title (marked while modified), text and flag.
    void KeepsDocument(const Program& tarnwick, const std::wstring& name, const std::wstring& text,
                       bool modified) {
        const testing::TestResult& result =
            *testing::UnitTest::GetInstance()->current_test_info()->result();
        const int failures = result.total_part_count();
        tarnwick.ExpectDocument(Title(name, modified), text, modified);
        Keeps(result.total_part_count() == failures, "the window no longer shows " + Utf8(name));
    }
    // Save (302) goes through: the title loses its mark and the file holds the bytes.
    void Saves(const Program& tarnwick, const std::wstring& path, const std::string& bytes) {
        SendCommand(tarnwick.MainWindow(), IDM_FILE_SAVE);
        ExpectTitle(tarnwick.MainWindow(), Title(path.substr(path.rfind(L'\\') + 1)));
        KeepsFile(path, bytes);
    }
};

// A file of the user's with these bytes.
std::wstring Put(const std::wstring& path, const std::string& bytes) {
    WriteBytes(path, bytes);
    return path;
}

// Whole lines of 100 bytes, at least `bytes` long.
std::string Lines(std::size_t bytes, char letter) {
    std::string text;
    while (text.size() < bytes) {
        text += std::string(98, letter) + "\r\n";
    }
    return text;
}

std::optional<ULONGLONG> SizeOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)
               ? std::optional(ULARGE_INTEGER{{data.nFileSizeLow, data.nFileSizeHigh}}.QuadPart)
               : std::nullopt;
}

// The files a save of the program makes beside a document ("twk...").
Names SaveFilesIn(const std::wstring& folder) {
    Names names = FilesIn(folder);
    std::erase_if(names, [](const std::wstring& name) { return !name.starts_with(L"twk"); });
    return names;
}

// The user types the text into a copy started with the arguments, which is killed once its
// recovery file (beside the settings file, written two seconds after the last change) holds it.
void KilledAfterTyping(const Sandbox& sandbox, const std::wstring& arguments,
                       const std::wstring& text) {
    Program tarnwick(sandbox, arguments);
    Retype(tarnwick.EditControl(), text);
    const std::string tail = Utf16LeFile(text).substr(2);
    EXPECT_TRUE(WaitUntil([&] {
        const Names files = FilesIn(sandbox / L"Recovery\\");
        return std::any_of(files.begin(), files.end(), [&](const std::wstring& name) {
            return ReadBytes(sandbox / (L"Recovery\\" + name)).ends_with(tail);
        });
    })) << "no recovery file holds \""
        << Utf8(text) << "\"";
    tarnwick.Kill();
}

// The user opens the file, types, saves, and tries Save As a new file beside it: the file error
// both times, the file and the typed text kept, and nothing left behind.
void RefusedSave(Ledger& ledger, const Sandbox& sandbox, const std::wstring& path,
                 const std::string& bytes, const std::wstring& typed) {
    Program tarnwick(sandbox, Quoted(path));
    const std::wstring folder = path.substr(0, path.rfind(L'\\') + 1);
    const Names before = FilesIn(folder);
    Retype(tarnwick.EditControl(), typed);
    SendCommand(tarnwick.MainWindow(), IDM_FILE_SAVE);
    tarnwick.Box(IDS_FILE_ERROR, IDS_ERROR_CAPTION, L"OK");
    tarnwick.Choose(IDM_FILE_SAVE_AS, folder + L"new.txt");
    tarnwick.Box(IDS_FILE_ERROR, IDS_ERROR_CAPTION, L"OK");
    ledger.KeepsDocument(tarnwick, path.substr(folder.size()), typed, true);
    EXPECT_EQ(FilesIn(folder), before) << "a file stayed behind";
    tarnwick.CloseDiscarding(path);
    ledger.KeepsFile(path, bytes);
    ledger.outcome = "file error; file, typed text kept; nothing left behind";
}

// The small disks exist only where the test session could mount them (as root).
void SaveOntoAFullDisk(Ledger& ledger, const Sandbox& sandbox) {
    const std::wstring drive = Environment(L"TARNWICK_SMALL_DRIVE");
    if ((ledger.skipped = drive.empty())) {
        return;
    }
    const std::string old(100 * 1024, 'o');
    WriteBytes(drive + L"doc.txt", old);
    // The room left holds neither the new text nor a copy of the old one.
    ULARGE_INTEGER free{};
    ASSERT_TRUE(GetDiskFreeSpaceExW(drive.c_str(), &free, nullptr, nullptr));
    const std::string fill(static_cast<std::size_t>(free.QuadPart) - 20 * 1024, 'f');
    WriteBytes(drive + L"filler", fill);
    RefusedSave(ledger, sandbox, drive + L"doc.txt", old, std::wstring(60 * 1024, L'n'));
    ledger.KeepsFile(drive + L"filler", fill);
    DeleteFileW((drive + L"filler").c_str());
    DeleteFileW((drive + L"doc.txt").c_str());
}

// As root, Wine writes through the read-only attribute: only a read-only mount refuses.
void SaveOntoAReadOnlyDisk(Ledger& ledger, const Sandbox& sandbox) {
    const std::wstring drive = Environment(L"TARNWICK_READONLY_DRIVE");
    if (!(ledger.skipped = drive.empty())) {
        RefusedSave(ledger, sandbox, drive + L"readonly.txt", "read only", L"changed");
    }
}

// A file held without sharing: its opening and every save (Save, Yes on closing and on New, Save
// and Exit) refused, the window and the typed text kept; let go, Save and Exit writes it and ends.
void SaveAHeldFile(Ledger& ledger, const Sandbox& sandbox) {
    const std::wstring path = Put(sandbox / L"held.txt", "old");
    auto held = std::make_unique<HeldFile>(path);
    Program tarnwick(sandbox, Quoted(path));
    tarnwick.Box(IDS_FILE_ERROR, IDS_ERROR_CAPTION, L"OK");
    tarnwick.ExpectDocument(Title(Untitled(sandbox)), L"", false);
    held.reset();
    const HWND main = tarnwick.MainWindow();
    tarnwick.Choose(IDM_FILE_OPEN, path);
    tarnwick.ExpectDocument(Title(L"held.txt"), L"old", false);
    Retype(tarnwick.EditControl(), L"new");
    held = std::make_unique<HeldFile>(path);
    // Closing (0: the close box) and New save inside their question, on Yes.
    for (const int command : {IDM_FILE_SAVE, 0, IDM_FILE_NEW, IDM_FILE_SAVE_AND_EXIT}) {
        SCOPED_TRACE(command);
        PostMessageW(main, command != 0 ? WM_COMMAND : WM_CLOSE, command, 0);
        if (command == 0 || command == IDM_FILE_NEW) {
            tarnwick.Ask(path, L"&Yes");
        }
        tarnwick.Box(IDS_FILE_ERROR, IDS_ERROR_CAPTION, L"OK");
        ledger.KeepsDocument(tarnwick, L"held.txt", L"new", true);
    }
    held.reset();
    ledger.KeepsFile(path, "old");
    SendCommand(main, IDM_FILE_SAVE_AND_EXIT);
    EXPECT_EQ(tarnwick.WaitForExit(), 0u);
    ledger.KeepsFile(path, "new");
    ledger.outcome = "open and every save refused while held; saved and ended once let go";
}

// 259 units, the longest path Win32 takes: no name of the save's own fits beside the file, so
// the old content is kept aside in the temporary folder while the file is written in place.
void SaveAtTheLongestPath(Ledger& ledger, const Sandbox& sandbox) {
    // One folder brings the path to 254 units.
    const std::wstring folder = sandbox.DeepFolder(254);
    const std::wstring a = Put(folder + L"a.txt", "first");
    ASSERT_EQ(a.size(), 259u);
    Program tarnwick(sandbox, Quoted(a));
    tarnwick.ExpectDocument(Title(L"a.txt"), L"first", false);
    Retype(tarnwick.EditControl(), L"second");
    ledger.Saves(tarnwick, a, "second");
    Retype(tarnwick.EditControl(), L"third");
    tarnwick.Choose(IDM_FILE_SAVE_AS, folder + L"b.txt");
    ExpectTitle(tarnwick.MainWindow(), Title(L"b.txt"));
    ledger.KeepsFile(folder + L"b.txt", "third");
    EXPECT_EQ(FilesIn(folder), (Names{L"a.txt", L"b.txt"}));
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    EXPECT_EQ(SaveFilesIn(temp), Names{}) << "a copy of the old content stayed in " << Utf8(temp);
    tarnwick.CloseNormally();
    ledger.outcome = "opened, saved and saved as at 259 units";
}

// Copies ended at moments of their saves that the folder shows leave each file old or new. A later
// save sweeps what ended copies left, but nothing of a running copy and no copy of an old content.
void EndDuringSave(Ledger& ledger, const Sandbox& sandbox) {
    const std::wstring folder = sandbox / L"documents\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    // 8 MiB: a save of a fifth of a second here, long enough to be caught in each phase.
    const std::string old = Lines(8 << 20, 'o');
    const std::string saved = "!" + old;
    DWORD ended = 0;
    std::wstring target;
    // The size of the ended copy's new-content file, once there.
    const auto newContent = [&] {
        for (const std::wstring& name : SaveFilesIn(folder)) {
            if (name.starts_with(L"twk" + std::to_wstring(ended) + L"-") &&
                name.ends_with(L".tmp")) {
                return SizeOf(folder + name);
            }
        }
        return std::optional<ULONGLONG>();
    };
    // WineOnly: Wine's ReplaceFileW (no backup name) deletes the target before it renames the new
    // file in; a copy ended between leaves no target. Windows has no such moment: none awaited.
    const std::pair<const char*, std::function<bool()>> moments[] = {
        {"at once", [] { return true; }},
        {"new file begun", [&] { return !!newContent(); }},
        {"new file whole", [&] { return newContent() == saved.size(); }},
        {"target replaced", [&] { return SizeOf(target) == saved.size(); }},
    };
    // The copies load together: loading is the slow part.
    std::vector<std::unique_ptr<Program>> copies;
    for (std::size_t i = 0; i < std::size(moments); ++i) {
        const std::wstring path = Put(folder + L"big" + std::to_wstring(i) + L".txt", old);
        copies.push_back(std::make_unique<Program>(sandbox, Quoted(path)));
    }
    for (std::size_t i = 0; i < std::size(moments); ++i) {
        const std::wstring name = L"big" + std::to_wstring(i) + L".txt";
        const HWND main = copies[i]->MainWindow(60000);
        ASSERT_TRUE(WaitUntil([&] { return WindowText(main) == Title(name); }, 60000));
        InsertText(copies[i]->EditControl(), L"!");
        ended = copies[i]->Id();
        target = folder + name;
        SendCommand(main, IDM_FILE_SAVE);
        // The save acts in moments shorter than WaitUntil's step: a tight poll.
        const ULONGLONG deadline = GetTickCount64() + kPatience;
        while (!moments[i].second() && GetTickCount64() < deadline) {
        }
        copies[i]->Kill();
        const std::string bytes = ReadBytes(target);
        ledger.Keeps(bytes == old || bytes == saved,
                     moments[i].first + ": "s + Utf8(name) + " is neither old nor new");
    }
    // Kept: a running copy's files (mid-save), an ended copy's old content, and its new content
    // whose file is missing (it may be the only copy of a text). Started with a file, the running
    // copy offers no ended copy's text.
    Program running(sandbox, Quoted(Put(folder + L"running.txt", "running")));
    ASSERT_NE(running.MainWindow(), nullptr);
    const std::wstring alive = L"twk" + std::to_wstring(running.Id());
    const std::wstring dead = L"twk" + std::to_wstring(ended);
    Names kept{alive + L"-1~other.txt.tmp", alive + L"-2.bak", dead + L"-91.bak", dead + L"-92.tmp",
               dead + L"-93~gone.txt.tmp"};
    std::sort(kept.begin(), kept.end());
    for (const std::wstring& name : kept) {
        WriteBytes(folder + name, Utf8(name));
    }
    WriteBytes(folder + dead + L"-90~other.txt.tmp", "half");
    Program fresh(sandbox, Quoted(Put(folder + L"other.txt", "before")));
    Retype(fresh.EditControl(), L"after");
    ledger.Saves(fresh, folder + L"other.txt", "after");
    EXPECT_EQ(SaveFilesIn(folder), kept) << "the leftovers of ended copies go, nothing else";
    for (const std::wstring& name : kept) {
        ledger.KeepsFile(folder + name, Utf8(name));
    }
    fresh.CloseNormally();
    running.CloseNormally();
    ledger.outcome = "ended at four moments, each file old or new; leftovers swept";
}

// Files typed out, a character at a time under the unmarked title. A Save writes what the window
// shows and ends the playback, as an Open does; a failed type-out leaves a new empty document (Save
// no longer names the old file); an edit during a playback keeps the document modified.
void TypeOuts(Ledger& ledger, const Sandbox& sandbox) {
    const std::wstring whole = L"0123456789abcdefghijABCDEFGHIJ0123456789";
    const std::wstring typed = Put(sandbox / L"typed.txt", Utf8(whole));
    const std::wstring shortFile = Put(sandbox / L"short.txt", "short");
    const std::wstring other = Put(sandbox / L"other.txt", "other text");
    // Twelve seconds of typing: still going when another file is opened.
    WriteBytes(sandbox / L"long.txt", std::string(80, 'z'));
    // A file the program refuses: it starts with the UTF-8 mark.
    WriteBytes(sandbox / L"marked.txt", "\xEF\xBB\xBFmarked");
    Program tarnwick(sandbox);
    const HWND main = tarnwick.MainWindow();
    const HWND edit = tarnwick.EditControl();

    // Every state on the way is a beginning of the file's text under its unmarked title, and the
    // text arrives in several steps rather than at once.
    tarnwick.Choose(IDM_FILE_TYPE_OUT, typed);
    ExpectTitle(main, Title(L"typed.txt"));
    std::set<std::size_t> partLengths;
    std::wstring seen, title;
    WaitUntil([&] {
        seen = EditText(edit);
        title = WindowText(main);
        if (!whole.starts_with(seen) || title != Title(L"typed.txt")) {
            return true;
        }
        partLengths.insert(seen.size());
        return seen.size() >= 8;
    });
    EXPECT_TRUE(whole.starts_with(seen) && seen.size() >= 8 && title == Title(L"typed.txt"))
        << Utf8(title) << ": " << Utf8(seen);
    EXPECT_GE(partLengths.size(), 3u) << "the text did not arrive one character at a time";
    SendCommand(main, IDM_FILE_SAVE);
    const auto shown = [&] { return Utf8(EditText(edit)); };
    ASSERT_TRUE(WaitUntil([&] { return ReadBytes(typed) == shown(); })) << shown();
    // Four more characters would have come by now.
    Sleep(800);
    ledger.KeepsFile(typed, shown());
    EXPECT_LT(shown().size(), 40u);
    ExpectTitle(main, Title(L"typed.txt"));

    tarnwick.Choose(IDM_FILE_TYPE_OUT, sandbox / L"long.txt");
    ASSERT_TRUE(WaitUntil([&] { return EditText(edit).size() >= 3; }));
    tarnwick.Choose(IDM_FILE_OPEN, other);
    Sleep(1000);
    ledger.KeepsDocument(tarnwick, L"other.txt", L"other text", false);
    // The user's edit makes the next type-out ask first.
    InsertText(edit, L"!");
    SendCommand(main, IDM_FILE_TYPE_OUT);
    tarnwick.Ask(other, L"&No");
    tarnwick.ChooseInDialog(L"Open", sandbox / L"marked.txt");
    tarnwick.Box(IDS_BAD_FORMAT, IDS_ERROR_CAPTION, L"OK");
    tarnwick.ExpectDocument(Title(Untitled(sandbox)), L"", false);
    InsertText(edit, L"new");
    SendCommand(main, IDM_FILE_SAVE);
    tarnwick.Dialog(L"Save As").Press(IDCANCEL);
    ledger.KeepsFile(other, "other text");

    SendCommand(main, IDM_FILE_TYPE_OUT);
    tarnwick.Ask(Untitled(sandbox), L"&No");
    tarnwick.ChooseInDialog(L"Open", shortFile);
    ASSERT_TRUE(WaitUntil([&] { return !EditText(edit).empty(); }));
    InsertText(edit, L"!");
    ASSERT_TRUE(WaitUntil([&] { return EditText(edit).size() == 6; }));
    tarnwick.CloseDiscarding(shortFile);
    ledger.KeepsFile(shortFile, "short");
    ledger.outcome = "saved what the window showed; Open stopped a playback; edits asked about";
}

// Started with a relative name, the program names the file by its full path; an Open refused in
// another folder leaves Save writing the document's own file. In ANSI, a character the code page
// lacks is asked about: Cancel writes nothing, No writes UTF-16 LE, Yes the nearest ("?").
void RelativeNameAndAnOpenElsewhere(Ledger& ledger, const Sandbox& sandbox) {
    // U+4E2D is not in code page 1252; "é" is.
    ASSERT_EQ(GetACP(), 1252u) << "the tests expect the ANSI code page 1252";
    const std::wstring elsewhere = sandbox / L"elsewhere\\";
    ASSERT_TRUE(CreateDirectoryW(elsewhere.c_str(), nullptr));
    const std::wstring notes = Put(sandbox / L"notes.txt", "notes");
    WriteBytes(elsewhere + L"marked.txt", "\xEF\xBB\xBFmarked");
    Program tarnwick(sandbox, L"notes.txt");
    const HWND main = tarnwick.MainWindow();
    const HWND edit = tarnwick.EditControl();
    tarnwick.ExpectDocument(Title(L"notes.txt"), L"notes", false);
    Retype(edit, L"changed");
    SendCommand(main, IDM_FILE_OPEN);
    tarnwick.Ask(notes, L"&No");
    tarnwick.ChooseInDialog(L"Open", elsewhere + L"marked.txt");
    tarnwick.Box(IDS_BAD_FORMAT, IDS_ERROR_CAPTION, L"OK");
    ledger.Saves(tarnwick, notes, "changed");
    ledger.Keeps(!FileExists(elsewhere + L"notes.txt"), "Save wrote into the other folder");

    Retype(edit, L"caf\u00E9");
    ledger.Saves(tarnwick, notes, "caf\xE9");
    SendMessageW(edit, EM_SETSEL, 4, 4);
    InsertText(edit, L"\u4E2D");
    SendCommand(main, IDM_FILE_SAVE);
    tarnwick.Box(IDS_ANSI_CHANGES_CHARACTERS, IDS_INFORMATION_CAPTION, L"Cancel");
    ledger.KeepsDocument(tarnwick, L"notes.txt", L"caf\u00E9\u4E2D", true);
    // The second question shows that the first Save is over: Cancel wrote nothing.
    SendCommand(main, IDM_FILE_SAVE);
    const MessageBoxView box = tarnwick.WaitForMessageBox();
    EXPECT_EQ(box.text, English(sandbox, IDS_ANSI_CHANGES_CHARACTERS));
    ledger.KeepsFile(notes, "caf\xE9");
    tarnwick.Press(box, L"&No");
    ExpectTitle(main, Title(L"notes.txt"));
    ledger.KeepsFile(notes, Utf16LeFile(L"caf\u00E9\u4E2D"));
    // No also switches the document to UTF-16 LE, which part 6 of the status bar shows.
    ExpectStatusText(main, 6, L" UTF-16 LE");
    SendCommand(main, IDM_ENCODING_ANSI);
    ExpectTitle(main, Title(L"notes.txt", true));
    SendCommand(main, IDM_FILE_SAVE);
    tarnwick.Box(IDS_ANSI_CHANGES_CHARACTERS, IDS_INFORMATION_CAPTION, L"&Yes");
    ledger.KeepsDocument(tarnwick, L"notes.txt", L"caf\u00E9\u4E2D", false);
    ledger.KeepsFile(notes, "caf\xE9?");
    tarnwick.CloseNormally();
    ledger.outcome = "Save wrote the document's own file; ANSI asked before changing a character";
}

// Killed after typing into a file and into a new document, the program offers the text at the
// next start: Yes gives it back, modified and of its file; No drops it for good.
void KilledBeforeASave(Ledger& ledger, const Sandbox& sandbox) {
    const std::wstring path = Put(sandbox / L"notes.txt", "saved");
    const std::wstring recovery = sandbox / L"Recovery\\";
    KilledAfterTyping(sandbox, Quoted(path), L"typed, not saved");
    Program restoring(sandbox, Quoted(path));
    restoring.Box(IDS_RESTORE_QUESTION, IDS_INFORMATION_CAPTION, L"&Yes", path);
    ledger.KeepsDocument(restoring, L"notes.txt", L"typed, not saved", true);
    ledger.KeepsFile(path, "saved");
    ledger.Saves(restoring, path, "typed, not saved");
    restoring.CloseNormally();
    KilledAfterTyping(sandbox, L"", L"never saved");
    Program dropping(sandbox);
    dropping.Box(IDS_RESTORE_QUESTION, IDS_INFORMATION_CAPTION, L"&No", Untitled(sandbox));
    dropping.ExpectDocument(Title(Untitled(sandbox)), L"", false);
    dropping.CloseNormally();
    // Beside a damaged recovery file of a copy that is not running, the last start asks nothing:
    // neither about that file nor about the texts already given back or dropped.
    CreateDirectoryW(recovery.c_str(), nullptr);
    WriteBytes(recovery + L"Tarnwick-4294967292-0000000000000001.recovery", "TWKRCV01");
    Program last(sandbox);
    last.ExpectDocument(Title(Untitled(sandbox)), L"", false);
    EXPECT_EQ(last.Windows(L"#32770"), std::vector<HWND>{}) << "asked again";
    last.CloseNormally();
    EXPECT_EQ(FilesIn(recovery), Names{});
    ledger.outcome = "typed text offered after a kill: Yes restored and saved, No dropped it";
}

// Another program rewrites or deletes the open file: the program asks before loading it over the
// window's text or saving over it; a deleted file marks the document modified.
void ChangedByAnotherProgram(Ledger& ledger, const Sandbox& sandbox) {
    const std::wstring path = Put(sandbox / L"shared.txt", "first");
    Program tarnwick(sandbox, Quoted(path));
    const HWND main = tarnwick.MainWindow();
    // The user comes back from another program. WineOnly: without a window manager a foreground
    // switch from another process did not always arrive, so the test sends WM_ACTIVATEAPP itself.
    const auto activate = [&] { PostMessageW(main, WM_ACTIVATEAPP, TRUE, 0); };
    tarnwick.ExpectDocument(Title(L"shared.txt"), L"first", false);
    WriteBytes(path, "second, longer");
    activate();
    tarnwick.Box(IDS_CHANGED_ON_DISK, IDS_INFORMATION_CAPTION, L"&Yes", path);
    tarnwick.ExpectDocument(Title(L"shared.txt"), L"second, longer", false);

    Retype(tarnwick.EditControl(), L"mine");
    WriteBytes(path, "third, from elsewhere");
    activate();
    tarnwick.Box(IDS_CHANGED_ON_DISK, IDS_INFORMATION_CAPTION, L"&No", path);
    ledger.KeepsDocument(tarnwick, L"shared.txt", L"mine", true);
    // Asked once: the next question is Save's.
    activate();
    // Cancel, and No with its Save As cancelled, write nothing; Yes saves over.
    for (const std::wstring answer : {L"Cancel", L"&No", L"&Yes"}) {
        SendCommand(main, IDM_FILE_SAVE);
        tarnwick.Box(IDS_SAVE_OVER_CHANGES, IDS_INFORMATION_CAPTION, answer, path);
        if (answer == L"&No") {
            tarnwick.Dialog(L"Save As").Press(IDCANCEL);
        }
        ledger.KeepsDocument(tarnwick, L"shared.txt", L"mine", answer != L"&Yes");
        ledger.KeepsFile(path, answer == L"&Yes" ? "mine" : "third, from elsewhere");
    }

    DeleteFileW(path.c_str());
    activate();
    ExpectTitle(main, Title(L"shared.txt", true));
    ledger.Saves(tarnwick, path, "mine");
    tarnwick.CloseNormally();
    ledger.outcome = "asked before loading over and saving over; a deleted file saved again";
}

// Two copies save the same file as close together as two commands can be, three times over.
void TwoCopiesSaveTogether(Ledger& ledger, const Sandbox& sandbox) {
    const std::wstring folder = sandbox / L"shared\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring path = Put(folder + L"shared.txt", "base");
    // One after the other: started together, the second copy can read the window placement
    // the copies share before the first has written it, and opens as a tiny window.
    Program first(sandbox, Quoted(path));
    ASSERT_NE(first.MainWindow(), nullptr);
    Program second(sandbox, Quoted(path));
    const Program* copies[] = {&first, &second};
    const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
    int refused = 0;
    int savedOver = 0;
    for (char round = '1'; round <= '3'; ++round) {
        // Under a mebibyte: Wine ends a program that is sent that much text from another process.
        const std::string texts[] = {Lines(768 << 10, 'a') + round, Lines(768 << 10, 'b') + round};
        for (int c = 0; c < 2; ++c) {
            Retype(copies[c]->EditControl(), std::wstring(texts[c].begin(), texts[c].end()));
        }
        SendCommand(first.MainWindow(), IDM_FILE_SAVE);
        SendCommand(second.MainWindow(), IDM_FILE_SAVE);
        for (int c = 0; c < 2; ++c) {
            // The save goes through, asks first since the other copy saved (Yes), or meets the file
            // held: the file error. A copy may also ask to load the changed file (No: text stays).
            for (;;) {
                bool asked = false;
                WaitUntil([&] {
                    asked = !copies[c]->Windows(L"#32770").empty();
                    return asked || WindowText(copies[c]->MainWindow()) == Title(L"shared.txt");
                });
                if (!asked) {
                    break;
                }
                const MessageBoxView box = copies[c]->WaitForMessageBox();
                const bool over = box.text == English(sandbox, IDS_SAVE_OVER_CHANGES, path);
                if (over || box.text == English(sandbox, IDS_CHANGED_ON_DISK, path)) {
                    savedOver += over ? 1 : 0;
                    const WPARAM answer = MAKEWPARAM(over ? IDYES : IDNO, BN_CLICKED);
                    PostMessageW(box.window, WM_COMMAND, answer, 0);
                    // A save command that arrives while a question is up runs inside it and may
                    // ask a question of its own: the answered box is hidden at once but goes only
                    // after that one.
                    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(box.window); }))
                        << "the box stayed: " << Utf8(box.text);
                    continue;
                }
                ++refused;
                // WineOnly: the other copy's swap leaves a moment without the file (see rf<n>.tmp
                // below): this copy's save finds it missing, or, the other copy having put one
                // back, keeps its text in the new-content file that the message names.
                bool keptCopy = false;
                for (const std::wstring& name : SaveFilesIn(folder)) {
                    if (wine && box.text == English(sandbox, IDS_TEXT_KEPT_IN, folder + name)) {
                        ledger.KeepsFile(folder + name, texts[c]);
                        keptCopy = DeleteFileW((folder + name).c_str());
                    }
                }
                EXPECT_TRUE(keptCopy || box.text == English(sandbox, IDS_FILE_ERROR) ||
                            (wine && box.text == English(sandbox, IDS_FILE_NOT_FOUND, path)))
                    << Utf8(box.text);
                copies[c]->Press(box, L"OK");
                ledger.KeepsDocument(*copies[c], L"shared.txt",
                                     std::wstring(texts[c].begin(), texts[c].end()), true);
                break;
            }
        }
        const std::string bytes = ReadBytes(path);
        ledger.Keeps(bytes == texts[0] || bytes == texts[1], "the file holds neither text");
        // WineOnly: Wine's ReplaceFileW moves the old file aside as rf<n>.tmp and cannot delete
        // it while the other copy has it open; those files are Wine's, Windows makes none.
        Names left = FilesIn(folder);
        std::erase_if(left, [&](const std::wstring& name) {
            return wine && name.starts_with(L"rf") && name.ends_with(L".tmp");
        });
        EXPECT_EQ(left, Names{L"shared.txt"}) << "a file stayed behind";
    }
    ledger.outcome = "one whole text each time; " + std::to_string(savedOver) +
                     " saves asked before saving over; " + std::to_string(refused) +
                     " of 6 refused";
}

// Settings full of garbage, and line breaks typed into the search fields the settings keep: the
// program starts and works, and writes back valid values, geometry and recent count in range.
void GarbageSettings(Ledger& ledger, const Sandbox& sandbox) {
    // Out of range, not numbers, too large, binary; another section's key; the section twice.
    sandbox.WriteIni(
        "=\r\n\x7F\xFE\r\n[Other]\r\nx=5\r\n[Tarnwick]\r\nWrap=yes\r\n"
        "Status=99999999999999999999\r\nFontHeight=-2147483648\r\nWeight=\x80\x81\r\n"
        "BkgColor=4294967296\r\nx=-32768\r\ny=999999\r\nWidth=2147483647\r\nHeight=-5\r\n"
        "MruCount=4294967295\r\nMRU0=\x01\xFF\r\nLanguage=65536\r\nNewFileType=7\r\n"
        "FindCase=banana\r\nName=\r\n[Tarnwick]\r\nWrap=2\r\n");
    const std::wstring path = Put(sandbox / L"works.txt", "before");
    Program tarnwick(sandbox, Quoted(path));
    tarnwick.ExpectDocument(Title(L"works.txt"), L"before", false);
    Retype(tarnwick.EditControl(), L"after");
    ledger.Saves(tarnwick, path, "after");

    SendCommand(tarnwick.MainWindow(), IDM_SEARCH_REPLACE);
    const DialogView replace = tarnwick.Dialog(L"Replace");
    replace.Fill(edt1, L"x\r\n[Tarnwick]\r\nStayOnTop=1");
    replace.Fill(edt2, L"y\nCenterVertAfterFind=1");
    replace.Click(psh1);
    tarnwick.Box(IDS_SEARCH_NOT_FOUND, IDS_INFORMATION_CAPTION, L"OK");
    replace.Press(IDCANCEL);
    tarnwick.CloseNormally();
    // A typed line break starts no line of its own.
    sandbox.ExpectIni(L"x=120 y=100 Width=770 Height=473 MruCount=0 StayOnTop=(absent) "
                      L"CenterVertAfterFind=(absent)");
    EXPECT_EQ(sandbox.IniValue(L"FindString"), L"x  [Tarnwick]  StayOnTop=1");
    EXPECT_EQ(sandbox.IniValue(L"ReplaceString"), L"y CenterVertAfterFind=1");
    ledger.outcome = "started, saved, wrote back valid values and no line breaks";
}

// CodeLibrary.dll: English.dll's resources and an entry point that leaves a mark. Chosen or listed,
// it is taken as resources only: code that ran could do anything to files, so a mark is data lost.
void CodeInALanguageLibrary(Ledger& ledger, const Sandbox& sandbox) {
    const std::wstring mark = sandbox / L"code-ran";
    const std::wstring library = FolderFromEnvironment(L"TARNWICK_TEST_DATA") + L"CodeLibrary.dll";
    sandbox.PutLanguage(library, L"Slovak.dll");
    sandbox.PutLanguage(library, L"Code.dll");
    sandbox.WriteIni("[Tarnwick]\r\nLanguage=10002\r\n");
    SetEnvironmentVariableW(L"TARNWICK_CODE_MARK", mark.c_str());
    Program tarnwick(sandbox);
    ExpectTitle(tarnwick.MainWindow(), Title(Untitled(sandbox)));
    EXPECT_EQ(tarnwick.Windows(L"#32770"), std::vector<HWND>{}) << "the library was refused";
    // The Options popup, then the Language submenu open; then both close.
    BringToFront(tarnwick.MainWindow());
    for (const auto& [keys, menus] :
         {std::pair{L"Alt+P", std::size_t{1}}, {L"L", 2}, {L"Esc Esc Esc", 0}}) {
        Keys(keys);
        ExpectSoon(Utf8(keys), menus, [&] { return tarnwick.Windows(L"#32768").size(); });
    }
    tarnwick.CloseNormally();
    ledger.Keeps(!FileExists(mark), "the library's entry point ran inside Tarnwick");
    SetEnvironmentVariableW(L"TARNWICK_CODE_MARK", nullptr);
    ledger.outcome = "taken as resources only; its code never ran";
}

// Files with a mark the program refuses, opened from the recent files: the message, and the
// document and the files as they were.
void RefusedByteOrderMarks(Ledger& ledger, const Sandbox& sandbox) {
    const std::pair<const wchar_t*, std::string> files[] = {
        {L"utf8.txt", "\xEF\xBB\xBFtext"},        {L"utf8-mark.txt", "\xEF\xBB\xBF"},
        {L"utf16be.txt", "\xFE\xFF\0t"s},         {L"utf16be-mark.txt", "\xFE\xFF"},
        {L"utf32le.txt", "\xFF\xFE\0\0t\0\0\0"s}, {L"utf32be.txt", "\0\0\xFE\xFF\0\0\0t"s},
    };
    std::string ini = "[Tarnwick]\r\nMruCount=" + std::to_string(std::size(files)) + "\r\n";
    for (std::size_t i = 0; i < std::size(files); ++i) {
        ini += "MRU" + std::to_string(i) + "=" +
               Utf8(Put(sandbox / files[i].first, files[i].second)) + "\r\n";
    }
    sandbox.WriteIni(ini);
    const std::wstring mine = Put(sandbox / L"mine.txt", "mine");
    Program tarnwick(sandbox, Quoted(mine));
    for (std::size_t i = 0; i < std::size(files); ++i) {
        SCOPED_TRACE(Utf8(files[i].first));
        SendCommand(tarnwick.MainWindow(), IDM_FILE_RECENT_FIRST + static_cast<UINT>(i));
        tarnwick.Box(IDS_BAD_FORMAT, IDS_ERROR_CAPTION, L"OK");
        ledger.KeepsDocument(tarnwick, L"mine.txt", L"mine", false);
        ledger.KeepsFile(sandbox / files[i].first, files[i].second);
    }
    tarnwick.CloseNormally();
    ledger.KeepsFile(mine, "mine");
    ledger.outcome = "6 files refused; document and files kept";
}

// The save question on each way out: Cancel keeps everything; Yes saves first (a new document
// through Save As, whose Cancel cancels the close too). A file of 4 GiB is refused by its size.
void SaveQuestionAndFourGibibytes(Ledger& ledger, const Sandbox& sandbox) {
    const std::wstring huge = sandbox / L"huge.txt";
    HANDLE file = CreateFileW(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD returned = 0;
    // Marked sparse before it is extended, the file takes no room on the disk.
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    const LARGE_INTEGER size{.QuadPart = 4LL << 30};
    EXPECT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);
    const std::wstring a = Put(sandbox / L"a.txt", "alpha");
    const std::wstring b = Put(sandbox / L"b.txt", "beta");
    Program tarnwick(sandbox, Quoted(a));
    const HWND main = tarnwick.MainWindow();
    const HWND edit = tarnwick.EditControl();
    const std::wstring untitled = Untitled(sandbox);
    tarnwick.ExpectDocument(Title(L"a.txt"), L"alpha", false);

    // A command that went on after Cancel would show its dialog, another file or no window.
    Retype(edit, L"alpha 2");
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"close", [&] { tarnwick.Close(); }},
        {"New", [&] { SendCommand(main, IDM_FILE_NEW); }},
        {"Open", [&] { SendCommand(main, IDM_FILE_OPEN); }},
        {"drop", [&] { tarnwick.DropFiles(main, {b}); }},
    };
    for (const auto& [name, command] : commands) {
        SCOPED_TRACE(name);
        command();
        tarnwick.Ask(a, L"Cancel");
        ledger.KeepsDocument(tarnwick, L"a.txt", L"alpha 2", true);
    }
    SendCommand(main, IDM_FILE_OPEN);
    tarnwick.Ask(a, L"&No");
    tarnwick.ChooseInDialog(L"Open", huge);
    tarnwick.Box(IDS_FILE_TOO_LARGE, IDS_ERROR_CAPTION, L"OK");
    ledger.KeepsDocument(tarnwick, L"a.txt", L"alpha 2", true);
    ledger.Keeps(SizeOf(huge) == 4ULL << 30, "huge.txt changed its size");
    ledger.KeepsFile(a, "alpha");

    // Yes saves before the Open dialog appears.
    SendCommand(main, IDM_FILE_OPEN);
    tarnwick.Ask(a, L"&Yes");
    tarnwick.Dialog(L"Open");
    ledger.KeepsFile(a, "alpha 2");
    tarnwick.ChooseInDialog(L"Open", b);
    tarnwick.ExpectDocument(Title(L"b.txt"), L"beta", false);
    Retype(edit, L"beta 2");
    SendCommand(main, IDM_FILE_NEW);
    tarnwick.Ask(b, L"&Yes");
    tarnwick.ExpectDocument(Title(untitled), L"", false);
    ledger.KeepsFile(b, "beta 2");

    // A Save As cancelled, after Yes on closing or from the menu, keeps the window and the text.
    InsertText(edit, L"draft");
    tarnwick.Close();
    tarnwick.Ask(untitled, L"&Yes");
    tarnwick.Dialog(L"Save As").Press(IDCANCEL);
    ledger.KeepsDocument(tarnwick, untitled, L"draft", true);
    SendCommand(main, IDM_FILE_SAVE_AS);
    tarnwick.Dialog(L"Save As").Press(IDCANCEL);
    ledger.KeepsDocument(tarnwick, untitled, L"draft", true);
    tarnwick.Close();
    tarnwick.Ask(untitled, L"&Yes");
    tarnwick.ChooseInDialog(L"Save As", sandbox / L"draft.txt");
    EXPECT_EQ(tarnwick.WaitForExit(), 0u);
    ledger.KeepsFile(sandbox / L"draft.txt", "draft");
    ledger.outcome = "each answer on each way did what it says; 4 GiB refused at once";
}

// Every "a" replaced by 129 units, past the largest text the edit control holds (0x7FFFFFFE
// units). Giving up the undo copy, the user tries again and fails too: the text stays, no undo.
void ReplaceAllBeyondTheLimit(Ledger& ledger, const Sandbox& sandbox) {
    // 98 of every 100 units are "a": the result would be over 126 times as long.
    const std::string text = Lines(0x7FFFFFFE / 126 + 100, 'a');
    const std::wstring path = Put(sandbox / L"many.txt", text);
    Program tarnwick(sandbox, Quoted(path));
    const HWND main = tarnwick.MainWindow(60000);
    SendCommand(main, IDM_SEARCH_REPLACE);
    const DialogView replace = tarnwick.Dialog(L"Replace");
    replace.Fill(edt1, L"a");
    replace.Fill(edt2, std::wstring(129, L'b'));
    replace.Click(psh2);
    tarnwick.Box(IDS_SEARCH_MEMORY_QUESTION, IDS_INFORMATION_CAPTION, L"&Yes", L"", 60000);
    tarnwick.Box(IDS_OUT_OF_MEMORY, IDS_ERROR_CAPTION, L"OK", L"", 60000);
    replace.Press(IDCANCEL);
    // An undo that did anything would show in the whole text as the program writes it out.
    SendCommand(main, IDM_EDIT_UNDO);
    tarnwick.Choose(IDM_FILE_SAVE_AS, sandbox / L"copy.txt");
    ExpectTitle(main, Title(L"copy.txt"));
    ledger.KeepsFile(sandbox / L"copy.txt", text);
    ledger.KeepsFile(path, text);
    tarnwick.CloseNormally();
    ledger.outcome = "memory question, out of memory; text unchanged, no undo";
}

constexpr std::pair<const char*, void (*)(Ledger&, const Sandbox&)> kFaults[] = {
    {"save onto a full disk", SaveOntoAFullDisk},
    {"save onto a read-only disk", SaveOntoAReadOnlyDisk},
    {"file held by another program", SaveAHeldFile},
    {"path of 259 units", SaveAtTheLongestPath},
    {"program ended during a save", EndDuringSave},
    {"two copies saving one file", TwoCopiesSaveTogether},
    {"save, Open and edit in a type-out", TypeOuts},
    {"relative name, Open elsewhere", RelativeNameAndAnOpenElsewhere},
    {"program killed before a save", KilledBeforeASave},
    {"file changed by another program", ChangedByAnotherProgram},
    {"settings full of garbage", GarbageSettings},
    {"code in a language library", CodeInALanguageLibrary},
    {"refused byte-order marks", RefusedByteOrderMarks},
    {"save question, file of 4 GiB", SaveQuestionAndFourGibibytes},
    {"Replace All beyond the limit", ReplaceAllBeyondTheLimit},
};

// Each fault walked in a sandbox of its own; TARNWICK_FAULT, when set, names the one to try.
TEST(NoDataLoss, UnderEveryFault) {
    const std::string only = Utf8(Environment(L"TARNWICK_FAULT"));
    std::printf("fault                          | outcome | data lost\n");
    int tried = 0;
    int lost = 0;
    for (const auto& [name, walk] : kFaults) {
        if (!only.empty() && only != name) {
            continue;
        }
        SCOPED_TRACE(name);
        Ledger ledger;
        walk(ledger, Sandbox());
        tried += ledger.skipped ? 0 : 1;
        lost += ledger.lost ? 1 : 0;
        std::printf("%-30s | %s | %s\n", name,
                    ledger.skipped ? "skipped: no such disk here" : ledger.outcome.c_str(),
                    ledger.lost ? "YES" : "no");
    }
    std::printf("faults tried: %d, data lost: %d\n", tried, lost);
    EXPECT_EQ(lost, 0);
}

} // namespace
