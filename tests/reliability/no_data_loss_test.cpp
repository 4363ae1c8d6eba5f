// The promise that no fault costs the user a byte. Each row of the table sets one fault up,
// walks a user through it in the real program, and then compares the exact bytes of every file
// the user owns and, where it matters, the text in the window.
#include "language/resource_ids.h"
#include "tests/e2e/driver.h"

#include <dlgs.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <set>
#include <tuple>

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
    // The window still shows the document: its name in the title, marked while modified, its
    // text and its modified flag.
    void KeepsDocument(const Program& tarnwick, const std::wstring& name, const std::wstring& text,
                       bool modified) {
        const HWND main = tarnwick.MainWindow();
        const HWND edit = tarnwick.EditControl();
        std::wstring title;
        std::wstring seen;
        // Read before the message is made: the order of a call's arguments is not fixed.
        const bool shown = WaitUntil([&] {
            title = WindowText(main);
            seen = EditText(edit);
            return title == Title(name, modified) && seen == text;
        });
        Keeps(shown,
              "the window \"" + Utf8(title) + "\" holds \"" + Utf8(seen.substr(0, 40)) + "\"");
        EXPECT_EQ(SendMessageW(edit, EM_GETMODIFY, 0, 0) != 0, modified);
    }
    // Save (302) goes through: the title loses its mark and the file holds the bytes.
    void Saves(const Program& tarnwick, const std::wstring& path, const std::string& bytes) {
        SendCommand(tarnwick.MainWindow(), IDM_FILE_SAVE);
        ExpectTitle(tarnwick.MainWindow(), Title(path.substr(path.rfind(L'\\') + 1)));
        KeepsFile(path, bytes);
    }
};

void AcknowledgeError(const Program& tarnwick, const Sandbox& sandbox, UINT text) {
    tarnwick.Answer(English(sandbox, text), English(sandbox, IDS_ERROR_CAPTION), L"OK");
}

// A file command whose dialog (Open, Type out, Save As) the user fills in with the path.
void Choose(const Program& tarnwick, UINT command, const std::wstring& path) {
    SendCommand(tarnwick.MainWindow(), command);
    tarnwick.ChooseInDialog(command == IDM_FILE_SAVE_AS ? L"Save As" : L"Open", path);
}

// The Save As dialog comes up, and the user cancels it.
void CancelSaveAs(const Program& tarnwick) {
    const HWND saveAs = tarnwick.WaitForDialog(L"Save As");
    ASSERT_NE(saveAs, nullptr);
    PressDialogButton(saveAs, IDCANCEL);
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
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return std::nullopt;
    }
    return ULARGE_INTEGER{{data.nFileSizeLow, data.nFileSizeHigh}}.QuadPart;
}

// The files a save of the program makes beside a document ("twk...").
Names SaveFilesIn(const std::wstring& folder) {
    Names names = FilesIn(folder);
    std::erase_if(names, [](const std::wstring& name) { return !name.starts_with(L"twk"); });
    return names;
}

// The recovery files beside the sandbox's settings file.
Names RecoveryFiles(const Sandbox& sandbox) {
    return FilesIn(sandbox / L"Recovery\\");
}

// The user types the text into a copy started with the arguments, which is killed once its
// recovery file holds the text (written two seconds after the last change).
void KilledAfterTyping(const Sandbox& sandbox, const std::wstring& arguments,
                       const std::wstring& text) {
    Program tarnwick(sandbox, arguments);
    ASSERT_NE(tarnwick.MainWindow(), nullptr);
    Retype(tarnwick.EditControl(), text);
    const std::string prefix = "Tarnwick-" + std::to_string(tarnwick.Id()) + "-";
    const std::string tail(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    EXPECT_TRUE(WaitUntil([&] {
        for (const std::wstring& name : RecoveryFiles(sandbox)) {
            if (Utf8(name).starts_with(prefix) &&
                ReadBytes(sandbox / (L"Recovery\\" + name)).ends_with(tail)) {
                return true;
            }
        }
        return false;
    })) << "no recovery file holds \""
        << Utf8(text) << "\"";
    tarnwick.Kill();
}

// The user comes back to the program from another one: WM_ACTIVATEAPP as the system sends it.
// (WineOnly: without a window manager, a foreground switch made from another process was seen
// not to reach the program every time, so the test delivers the message itself.)
void ActivateAgain(HWND main) {
    PostMessageW(main, WM_ACTIVATEAPP, TRUE, 0);
}

bool UnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// The user opens the file, types and saves: the file error, and both the file and the typed
// text stay. Save As a new file beside it is refused alike and leaves nothing behind.
void RefusedSave(Ledger& ledger, const std::wstring& path, const std::string& bytes,
                 const std::wstring& typed) {
    Sandbox sandbox;
    Program tarnwick(sandbox, Quoted(path));
    ASSERT_NE(tarnwick.MainWindow(), nullptr);
    Retype(tarnwick.EditControl(), typed);
    SendCommand(tarnwick.MainWindow(), IDM_FILE_SAVE);
    AcknowledgeError(tarnwick, sandbox, IDS_FILE_ERROR);
    ledger.KeepsFile(path, bytes);
    const std::size_t split = path.rfind(L'\\') + 1;
    ledger.KeepsDocument(tarnwick, path.substr(split), typed, true);
    const std::wstring folder = path.substr(0, split);
    const Names before = FilesIn(folder);
    Choose(tarnwick, IDM_FILE_SAVE_AS, folder + L"new.txt");
    AcknowledgeError(tarnwick, sandbox, IDS_FILE_ERROR);
    ledger.KeepsDocument(tarnwick, path.substr(split), typed, true);
    EXPECT_EQ(FilesIn(folder), before) << "a file stayed behind";
    tarnwick.CloseDiscarding(sandbox, path);
    ledger.KeepsFile(path, bytes);
    ledger.outcome = "file error; file, typed text kept; nothing left behind";
}

// The small disks exist only where the test session could mount them (as root).
void SaveOntoAFullDisk(Ledger& ledger) {
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
    RefusedSave(ledger, drive + L"doc.txt", old, std::wstring(60 * 1024, L'n'));
    ledger.KeepsFile(drive + L"filler", fill);
    DeleteFileW((drive + L"filler").c_str());
    DeleteFileW((drive + L"doc.txt").c_str());
}

// As root, Wine writes through the read-only attribute: only a read-only mount refuses.
void SaveOntoAReadOnlyDisk(Ledger& ledger) {
    const std::wstring drive = Environment(L"TARNWICK_READONLY_DRIVE");
    if (!(ledger.skipped = drive.empty())) {
        RefusedSave(ledger, drive + L"readonly.txt", "read only", L"changed");
    }
}

// Another program holds the file without sharing: opening it is refused, and so is every save
// over it: Save, Yes in the question on closing and on New, Save and Exit. The window and the
// typed text stay each time; once the file is let go, Save and Exit writes it and ends.
void SaveAHeldFile(Ledger& ledger) {
    Sandbox sandbox;
    const std::wstring path = sandbox / L"held.txt";
    WriteBytes(path, "old");
    auto held = std::make_unique<HeldFile>(path);
    Program tarnwick(sandbox, Quoted(path));
    AcknowledgeError(tarnwick, sandbox, IDS_FILE_ERROR);
    tarnwick.ExpectDocument(Title(Untitled(sandbox)), L"", false);
    held.reset();
    const HWND main = tarnwick.MainWindow();
    Choose(tarnwick, IDM_FILE_OPEN, path);
    tarnwick.ExpectDocument(Title(L"held.txt"), L"old", false);
    Retype(tarnwick.EditControl(), L"new");
    held = std::make_unique<HeldFile>(path);
    // Closing and New save inside their question, on Yes.
    const std::tuple<const char*, std::function<void()>, bool> saves[] = {
        {"Save", [&] { SendCommand(main, IDM_FILE_SAVE); }, false},
        {"close", [&] { tarnwick.Close(); }, true},
        {"New", [&] { SendCommand(main, IDM_FILE_NEW); }, true},
        {"Save and Exit", [&] { SendCommand(main, IDM_FILE_SAVE_AND_EXIT); }, false},
    };
    for (const auto& [name, save, asks] : saves) {
        SCOPED_TRACE(name);
        save();
        if (asks) {
            tarnwick.AnswerSaveQuestion(sandbox, path, L"&Yes");
        }
        AcknowledgeError(tarnwick, sandbox, IDS_FILE_ERROR);
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
void SaveAtTheLongestPath(Ledger& ledger) {
    Sandbox sandbox;
    // Folders this deep are made through the \\?\ form, which has no length limit.
    std::wstring folder = sandbox.Folder();
    while (folder.size() < 254) {
        // Each folder adds its name and a backslash; never leave a single unit to fill.
        const std::size_t remaining = 254 - folder.size();
        std::size_t step = std::min<std::size_t>(100, remaining - 1);
        step -= remaining - (step + 1) == 1 ? 1 : 0;
        folder += std::wstring(step, L'd') + L"\\";
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr)) << Utf8(folder);
    }
    const std::wstring a = folder + L"a.txt";
    ASSERT_EQ(a.size(), 259u);
    WriteBytes(a, "first");
    Program tarnwick(sandbox, Quoted(a));
    tarnwick.ExpectDocument(Title(L"a.txt"), L"first", false);
    Retype(tarnwick.EditControl(), L"second");
    ledger.Saves(tarnwick, a, "second");
    Retype(tarnwick.EditControl(), L"third");
    Choose(tarnwick, IDM_FILE_SAVE_AS, folder + L"b.txt");
    ExpectTitle(tarnwick.MainWindow(), Title(L"b.txt"));
    ledger.KeepsFile(folder + L"b.txt", "third");
    ledger.KeepsFile(a, "second");
    EXPECT_EQ(FilesIn(folder), (Names{L"a.txt", L"b.txt"}));
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    EXPECT_EQ(SaveFilesIn(temp), Names{}) << "a copy of the old content stayed in " << Utf8(temp);
    tarnwick.CloseNormally();
    ledger.outcome = "opened, saved and saved as at 259 units";
}

// Copies of the program are ended at moments of their saves that the folder shows; each file
// then holds its old or its new bytes. A later save in the folder removes what ended copies
// left, but nothing of a copy still running and no copy of an old content.
void EndDuringSave(Ledger& ledger) {
    Sandbox sandbox;
    const std::wstring folder = sandbox / L"documents\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    // 8 MiB: its save takes a fifth of a second here, long enough to be caught in each phase;
    // more would only lengthen the loading.
    const std::string old = Lines(8 << 20, 'o');
    const std::string saved = "!" + old;
    const auto newContent = [&](DWORD process) {
        WIN32_FIND_DATAW found;
        const std::wstring pattern = folder + L"twk" + std::to_wstring(process) + L"-*.tmp";
        HANDLE search = FindFirstFileW(pattern.c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            return std::optional<ULONGLONG>();
        }
        FindClose(search);
        return SizeOf(folder + found.cFileName);
    };
    // WineOnly: Wine's ReplaceFileW without a backup name moves the target aside, deletes it
    // and only then renames the new file in: a copy ended between the two leaves no target,
    // and its new-content file is later swept as a leftover. Windows has no such moment, so no
    // moment here waits for the target to be missing.
    const std::pair<const char*, std::function<bool(DWORD, const std::wstring&)>> moments[] = {
        {"at once", [](DWORD, const std::wstring&) { return true; }},
        {"new file begun", [&](DWORD id, const std::wstring&) { return !!newContent(id); }},
        {"new file whole",
         [&](DWORD id, const std::wstring&) { return newContent(id) == saved.size(); }},
        {"target replaced",
         [&](DWORD, const std::wstring& target) { return SizeOf(target) == saved.size(); }},
    };
    // The copies load together: loading is the slow part.
    std::vector<std::unique_ptr<Program>> copies;
    for (std::size_t i = 0; i < std::size(moments); ++i) {
        WriteBytes(folder + L"big" + std::to_wstring(i) + L".txt", old);
        copies.push_back(std::make_unique<Program>(
            sandbox, Quoted(folder + L"big" + std::to_wstring(i) + L".txt")));
    }
    std::string seen;
    DWORD ended = 0;
    for (std::size_t i = 0; i < std::size(moments); ++i) {
        const std::wstring name = L"big" + std::to_wstring(i) + L".txt";
        const HWND main = copies[i]->MainWindow(60000);
        ASSERT_TRUE(WaitUntil([&] { return WindowText(main) == Title(name); }, 60000));
        InsertText(copies[i]->EditControl(), L"!");
        ExpectTitle(main, Title(name, true));
        ended = copies[i]->Id();
        SendCommand(main, IDM_FILE_SAVE);
        // The save acts in moments shorter than WaitUntil's step: a tight poll.
        const ULONGLONG deadline = GetTickCount64() + kPatience;
        while (!moments[i].second(ended, folder + name) && GetTickCount64() < deadline) {
        }
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, ended);
        TerminateProcess(process, 9);
        WaitForSingleObject(process, kPatience);
        CloseHandle(process);
        const std::string bytes = ReadBytes(folder + name);
        ledger.Keeps(bytes == old || bytes == saved, Utf8(name) + " is neither old nor new");
        seen += std::string(moments[i].first) + ": " +
                (bytes == old     ? "old, "
                 : bytes == saved ? "new, "
                                  : "LOST, ");
    }
    // A copy still running, in the middle of a save of its own, and an ended copy's leftover
    // beside its copy of an old content. (Started with a file of its own, it offers none of the
    // ended copies' texts.)
    WriteBytes(folder + L"running.txt", "running");
    Program running(sandbox, Quoted(folder + L"running.txt"));
    ASSERT_NE(running.MainWindow(), nullptr);
    // An ended copy's new content goes only where its file is there: without one it may be the
    // only copy of a text.
    const std::wstring alive = L"twk" + std::to_wstring(running.Id());
    const std::wstring dead = L"twk" + std::to_wstring(ended);
    Names kept{alive + L"-1~other.txt.tmp", alive + L"-2.bak", dead + L"-91.bak", dead + L"-92.tmp",
               dead + L"-93~gone.txt.tmp"};
    std::sort(kept.begin(), kept.end());
    for (const std::wstring& name : kept) {
        WriteBytes(folder + name, Utf8(name));
    }
    WriteBytes(folder + dead + L"-90~other.txt.tmp", "half");
    WriteBytes(folder + L"other.txt", "before");
    Program fresh(sandbox, Quoted(folder + L"other.txt"));
    Retype(fresh.EditControl(), L"after");
    ledger.Saves(fresh, folder + L"other.txt", "after");
    EXPECT_EQ(SaveFilesIn(folder), kept) << "the leftovers of ended copies go, nothing else";
    for (const std::wstring& name : kept) {
        ledger.KeepsFile(folder + name, Utf8(name));
    }
    fresh.CloseNormally();
    running.CloseNormally();
    ledger.outcome = seen + "leftovers swept";
}

// Files typed out. The text arrives a character at a time under the file's unmarked title; saved
// after its eighth character, the file gets exactly what the window shows, and the playback ends
// there. An Open ends a playback too, before the opened file's text. A type-out that fails leaves
// a new empty document, so Save no longer names the old file. An edit of the user's during a
// playback keeps the document modified, so closing asks.
void TypeOuts(Ledger& ledger) {
    Sandbox sandbox;
    const std::wstring shortFile = sandbox / L"short.txt";
    const std::wstring typed = sandbox / L"typed.txt";
    const std::wstring other = sandbox / L"other.txt";
    WriteBytes(shortFile, "short");
    WriteBytes(typed, "0123456789abcdefghijABCDEFGHIJ0123456789");
    // Twelve seconds of typing: still going when another file is opened.
    WriteBytes(sandbox / L"long.txt", std::string(80, 'z'));
    WriteBytes(other, "other text");
    // A file the program refuses: it starts with the UTF-8 mark.
    WriteBytes(sandbox / L"marked.txt", "\xEF\xBB\xBFmarked");
    Program tarnwick(sandbox);
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    const HWND edit = tarnwick.EditControl();

    // Every state on the way is a beginning of the file's text under its unmarked title, and the
    // text arrives in several steps rather than at once.
    Choose(tarnwick, IDM_FILE_TYPE_OUT, typed);
    ExpectTitle(main, Title(L"typed.txt"));
    const std::wstring whole = L"0123456789abcdefghijABCDEFGHIJ0123456789";
    std::set<std::size_t> partLengths;
    std::wstring seen;
    std::wstring title;
    WaitUntil([&] {
        seen = EditText(edit);
        title = WindowText(main);
        if (!whole.starts_with(seen) || title != Title(L"typed.txt")) {
            return true;
        }
        partLengths.insert(seen.size());
        return seen.size() >= 8;
    });
    EXPECT_TRUE(whole.starts_with(seen) && seen.size() >= 8) << Utf8(seen);
    EXPECT_EQ(title, Title(L"typed.txt"));
    EXPECT_GE(partLengths.size(), 3u) << "the text did not arrive one character at a time";
    SendCommand(main, IDM_FILE_SAVE);
    const auto shown = [&] {
        const std::wstring text = EditText(edit);
        return std::string(text.begin(), text.end());
    };
    ASSERT_TRUE(WaitUntil([&] { return ReadBytes(typed) == shown(); })) << shown();
    // Four more characters would have come by now.
    Sleep(800);
    ledger.KeepsFile(typed, shown());
    EXPECT_LT(shown().size(), 40u);
    ExpectTitle(main, Title(L"typed.txt"));

    Choose(tarnwick, IDM_FILE_TYPE_OUT, sandbox / L"long.txt");
    ASSERT_TRUE(WaitUntil([&] { return EditText(edit).size() >= 3; }));
    Choose(tarnwick, IDM_FILE_OPEN, other);
    tarnwick.ExpectDocument(Title(L"other.txt"), L"other text", false);
    Sleep(1000);
    ledger.KeepsDocument(tarnwick, L"other.txt", L"other text", false);
    InsertText(edit, L"!");
    ExpectTitle(main, Title(L"other.txt", true));

    SendCommand(main, IDM_FILE_TYPE_OUT);
    tarnwick.AnswerSaveQuestion(sandbox, other, L"&No");
    tarnwick.ChooseInDialog(L"Open", sandbox / L"marked.txt");
    AcknowledgeError(tarnwick, sandbox, IDS_BAD_FORMAT);
    tarnwick.ExpectDocument(Title(Untitled(sandbox)), L"", false);
    InsertText(edit, L"new");
    SendCommand(main, IDM_FILE_SAVE);
    CancelSaveAs(tarnwick);
    ledger.KeepsFile(other, "other text");

    SendCommand(main, IDM_FILE_TYPE_OUT);
    tarnwick.AnswerSaveQuestion(sandbox, Untitled(sandbox), L"&No");
    tarnwick.ChooseInDialog(L"Open", shortFile);
    ASSERT_TRUE(WaitUntil([&] { return !EditText(edit).empty(); }));
    InsertText(edit, L"!");
    ASSERT_TRUE(WaitUntil([&] { return EditText(edit).size() == 6; }));
    ExpectTitle(main, Title(L"short.txt", true));
    tarnwick.CloseDiscarding(sandbox, shortFile);
    ledger.KeepsFile(shortFile, "short");
    ledger.outcome = "saved what the window showed; Open stopped a playback; edits asked about";
}

// Started with a name relative to its folder, the program names the file by its full path; an
// Open refused in another folder leaves Save writing the file the document came from. Saved in
// ANSI, a character the code page lacks is asked about first: Cancel writes nothing, No writes
// UTF-16 LE, and Yes, once ANSI is chosen again, writes the nearest the code page has ("?").
void RelativeNameAndAnOpenElsewhere(Ledger& ledger) {
    // U+4E2D is not in code page 1252; "é" is.
    ASSERT_EQ(GetACP(), 1252u) << "the tests expect the ANSI code page 1252";
    Sandbox sandbox;
    const std::wstring elsewhere = sandbox / L"elsewhere\\";
    ASSERT_TRUE(CreateDirectoryW(elsewhere.c_str(), nullptr));
    const std::wstring notes = sandbox / L"notes.txt";
    WriteBytes(notes, "notes");
    WriteBytes(elsewhere + L"marked.txt", "\xEF\xBB\xBFmarked");
    Program tarnwick(sandbox.Exe(), Quoted(sandbox.Exe()) + L" notes.txt", sandbox.Folder());
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    const HWND edit = tarnwick.EditControl();
    tarnwick.ExpectDocument(Title(L"notes.txt"), L"notes", false);
    Retype(edit, L"changed");
    SendCommand(main, IDM_FILE_OPEN);
    tarnwick.AnswerSaveQuestion(sandbox, notes, L"&No");
    tarnwick.ChooseInDialog(L"Open", elsewhere + L"marked.txt");
    AcknowledgeError(tarnwick, sandbox, IDS_BAD_FORMAT);
    ledger.Saves(tarnwick, notes, "changed");
    ledger.Keeps(!FileExists(elsewhere + L"notes.txt"), "Save wrote into the other folder");

    const std::wstring question = English(sandbox, IDS_ANSI_CHANGES_CHARACTERS);
    const std::wstring caption = English(sandbox, IDS_INFORMATION_CAPTION);
    Retype(edit, L"caf\u00E9");
    ledger.Saves(tarnwick, notes, "caf\xE9");
    SendMessageW(edit, EM_SETSEL, 4, 4);
    InsertText(edit, L"\u4E2D");
    SendCommand(main, IDM_FILE_SAVE);
    MessageBoxView box = tarnwick.WaitForMessageBox();
    EXPECT_EQ(box.text, question);
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.buttons, (std::vector<std::wstring>{L"&Yes", L"&No", L"Cancel"}));
    tarnwick.Press(box, L"Cancel");
    ledger.KeepsDocument(tarnwick, L"notes.txt", L"caf\u00E9\u4E2D", true);
    // The second question shows that the first Save is over: Cancel wrote nothing.
    SendCommand(main, IDM_FILE_SAVE);
    box = tarnwick.WaitForMessageBox();
    EXPECT_EQ(box.text, question);
    ledger.KeepsFile(notes, "caf\xE9");
    tarnwick.Press(box, L"&No");
    ExpectTitle(main, Title(L"notes.txt"));
    ledger.KeepsFile(notes, Utf16LeFile(L"caf\u00E9\u4E2D"));
    // No also switches the document to UTF-16 LE, which part 6 of the status bar shows.
    ExpectStatusText(main, 6, L" UTF-16 LE");
    SendCommand(main, IDM_ENCODING_ANSI);
    ExpectTitle(main, Title(L"notes.txt", true));
    SendCommand(main, IDM_FILE_SAVE);
    tarnwick.Answer(question, caption, L"&Yes");
    ExpectTitle(main, Title(L"notes.txt"));
    ledger.KeepsFile(notes, "caf\xE9?");
    ledger.KeepsDocument(tarnwick, L"notes.txt", L"caf\u00E9\u4E2D", false);
    tarnwick.CloseNormally();
    ledger.outcome = "Save wrote the document's own file; ANSI asked before changing a character";
}

// Killed after typing into a file and into a new document: started again, the program offers
// the text. Yes gives it back, modified and of its file; No drops it for good; a damaged
// recovery file goes without a question.
void KilledBeforeASave(Ledger& ledger) {
    Sandbox sandbox;
    const std::wstring path = sandbox / L"notes.txt";
    WriteBytes(path, "saved");
    KilledAfterTyping(sandbox, Quoted(path), L"typed, not saved");
    {
        Program again(sandbox, Quoted(path));
        again.Answer(English(sandbox, IDS_RESTORE_QUESTION, path), L"Tarnwick", L"&Yes");
        ledger.KeepsDocument(again, L"notes.txt", L"typed, not saved", true);
        ledger.KeepsFile(path, "saved");
        ledger.Saves(again, path, "typed, not saved");
        again.CloseNormally();
    }
    EXPECT_EQ(RecoveryFiles(sandbox), Names{});
    KilledAfterTyping(sandbox, L"", L"never saved");
    // No, then a damaged recovery file of a copy that is not running: neither asks again.
    for (const bool damaged : {false, true}) {
        if (damaged) {
            CreateDirectoryW((sandbox / L"Recovery").c_str(), nullptr);
            WriteBytes(sandbox / L"Recovery\\Tarnwick-4294967292-0000000000000001.recovery",
                       "TWKRCV01");
        }
        Program again(sandbox);
        if (!damaged) {
            again.Answer(English(sandbox, IDS_RESTORE_QUESTION, Untitled(sandbox)), L"Tarnwick",
                         L"&No");
        }
        again.ExpectDocument(Title(Untitled(sandbox)), L"", false);
        EXPECT_EQ(again.Windows(L"#32770"), std::vector<HWND>{}) << "asked again";
        again.CloseNormally();
        EXPECT_EQ(RecoveryFiles(sandbox), Names{});
    }
    ledger.outcome = "typed text offered after a kill: Yes restored and saved, No dropped it";
}

// Another program rewrites or deletes the open file. Activated again, the program asks before
// loading it over the window's text, and a Save asks before writing over the other program's
// changes; a deleted file makes the document modified so that closing asks.
void ChangedByAnotherProgram(Ledger& ledger) {
    Sandbox sandbox;
    const std::wstring path = sandbox / L"shared.txt";
    WriteBytes(path, "first");
    Program tarnwick(sandbox, Quoted(path));
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    tarnwick.ExpectDocument(Title(L"shared.txt"), L"first", false);
    WriteBytes(path, "second, longer");
    ActivateAgain(main);
    tarnwick.Answer(English(sandbox, IDS_CHANGED_ON_DISK, path), L"Tarnwick", L"&Yes");
    tarnwick.ExpectDocument(Title(L"shared.txt"), L"second, longer", false);

    Retype(tarnwick.EditControl(), L"mine");
    WriteBytes(path, "third, from elsewhere");
    ActivateAgain(main);
    tarnwick.Answer(English(sandbox, IDS_CHANGED_ON_DISK, path), L"Tarnwick", L"&No");
    ledger.KeepsDocument(tarnwick, L"shared.txt", L"mine", true);
    ActivateAgain(main);
    const std::wstring saveOver = English(sandbox, IDS_SAVE_OVER_CHANGES, path);
    SendCommand(main, IDM_FILE_SAVE);
    tarnwick.Answer(saveOver, L"Tarnwick", L"Cancel");
    SendCommand(main, IDM_FILE_SAVE);
    tarnwick.Answer(saveOver, L"Tarnwick", L"&No");
    CancelSaveAs(tarnwick);
    ledger.KeepsFile(path, "third, from elsewhere");
    ledger.KeepsDocument(tarnwick, L"shared.txt", L"mine", true);
    SendCommand(main, IDM_FILE_SAVE);
    tarnwick.Answer(saveOver, L"Tarnwick", L"&Yes");
    ExpectTitle(main, Title(L"shared.txt"));
    ledger.KeepsFile(path, "mine");

    DeleteFileW(path.c_str());
    ActivateAgain(main);
    ExpectTitle(main, Title(L"shared.txt", true));
    ledger.Saves(tarnwick, path, "mine");
    tarnwick.CloseNormally();
    ledger.outcome = "asked before loading over and saving over; a deleted file saved again";
}

// Two copies save the same file as close together as two commands can be, three times over.
void TwoCopiesSaveTogether(Ledger& ledger) {
    Sandbox sandbox;
    const std::wstring folder = sandbox / L"shared\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring path = folder + L"shared.txt";
    WriteBytes(path, "base");
    // One after the other: started together, the second copy can read the window placement
    // the copies share before the first has written it, and opens as a tiny window.
    Program first(sandbox, Quoted(path));
    ASSERT_NE(first.MainWindow(), nullptr);
    Program second(sandbox, Quoted(path));
    ASSERT_NE(second.MainWindow(), nullptr);
    const Program* copies[] = {&first, &second};
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
            // The save goes through; or it asks first, since the other copy saved the file since
            // (Yes); or the other copy held the file: the file error. Brought to the front by
            // the other copy's box going, a copy may ask whether to load the file it changed
            // (No: the window's text stays).
            const std::wstring typed(texts[c].begin(), texts[c].end());
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
                // A save command that arrives while a question is up runs inside it and may ask
                // a question of its own: the answered box then goes only after the newer one.
                const auto answer = [&](int button) {
                    PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
                    EXPECT_TRUE(WaitUntil([&] {
                        return !IsWindow(box.window) || copies[c]->Windows(L"#32770").size() > 1;
                    })) << "the box stayed: "
                        << Utf8(box.text);
                };
                if (box.text == English(sandbox, IDS_SAVE_OVER_CHANGES, path)) {
                    ++savedOver;
                    answer(IDYES);
                    continue;
                }
                if (box.text == English(sandbox, IDS_CHANGED_ON_DISK, path)) {
                    answer(IDNO);
                    continue;
                }
                ++refused;
                // WineOnly: the other copy's swap leaves a moment without the file (see the
                // rf<n>.tmp files below), which this copy's save finds missing, or in which this
                // copy's own swap took the file away and the other copy's put one back before
                // this copy's text could go in: that text stays in its new-content file.
                const std::wstring filled = English(sandbox, IDS_TEXT_KEPT_IN, L"\x01");
                const std::wstring before = filled.substr(0, filled.find(L'\x01'));
                const std::wstring after = filled.substr(filled.find(L'\x01') + 1);
                const bool keptCopy =
                    UnderWine() &&
                    box.text.starts_with(before + folder + L"twk" +
                                         std::to_wstring(copies[c]->Id()) + L"-") &&
                    box.text.ends_with(L"~shared.txt.tmp" + after);
                EXPECT_TRUE(
                    box.text == English(sandbox, IDS_FILE_ERROR) ||
                    (UnderWine() && box.text == English(sandbox, IDS_FILE_NOT_FOUND, path)) ||
                    keptCopy)
                    << Utf8(box.text);
                if (keptCopy) {
                    const std::wstring file = box.text.substr(
                        before.size(), box.text.size() - before.size() - after.size());
                    ledger.KeepsFile(file, texts[c]);
                    DeleteFileW(file.c_str());
                }
                copies[c]->Press(box, L"OK");
                ledger.KeepsDocument(*copies[c], L"shared.txt", typed, true);
                break;
            }
        }
        const std::string bytes = ReadBytes(path);
        ledger.Keeps(bytes == texts[0] || bytes == texts[1], "the file holds neither text");
        // WineOnly: Wine's ReplaceFileW moves the old file aside as rf<n>.tmp and cannot delete
        // it while the other copy has it open; those files are Wine's, Windows makes none.
        Names left = FilesIn(folder);
        std::erase_if(left, [](const std::wstring& name) {
            return UnderWine() && name.starts_with(L"rf") && name.ends_with(L".tmp");
        });
        EXPECT_EQ(left, Names{L"shared.txt"}) << "a file stayed behind";
    }
    ledger.outcome = "one whole text each time; " + std::to_string(savedOver) +
                     " saves asked before saving over; " + std::to_string(refused) +
                     " of 6 refused";
}

// Settings full of garbage, and texts with line breaks typed into the fields the program keeps
// in the settings: the program starts and works, and what it writes back is valid, with the
// geometry and the recent-files count brought into range.
void GarbageSettings(Ledger& ledger) {
    const std::pair<std::string, Names> inis[] = {
        // No section of the program's at all.
        {"\x01\x02\xFF garbage\r\nWrap=1\r\n[Other]\r\nx=5\r\n",
         {L"120", L"100", L"870", L"534", L"0"}},
        // Values out of range, not numbers, too large, binary; the section twice.
        {"=\r\n\x7F\xFE\r\n[Tarnwick]\r\nWrap=yes\r\nStatus=99999999999999999999\r\n"
         "FontHeight=-2147483648\r\nWeight=\x80\x81\r\nBkgColor=4294967296\r\nx=-32768\r\n"
         "y=999999\r\nWidth=2147483647\r\nHeight=-5\r\nMruCount=4294967295\r\nMRU0=\x01\xFF\r\n"
         "Language=65536\r\nNewFileType=7\r\nFindCase=banana\r\nName=\r\n[Tarnwick]\r\nWrap=2\r\n",
         {L"120", L"100", L"770", L"473", L"0"}},
    };
    for (const auto& [ini, written] : inis) {
        Sandbox sandbox;
        sandbox.WriteIni(ini);
        const std::wstring path = sandbox / L"works.txt";
        WriteBytes(path, "before");
        Program tarnwick(sandbox, Quoted(path));
        const HWND main = tarnwick.MainWindow();
        ASSERT_NE(main, nullptr);
        tarnwick.ExpectDocument(Title(L"works.txt"), L"before", false);
        Retype(tarnwick.EditControl(), L"after");
        ledger.Saves(tarnwick, path, "after");

        SendCommand(main, IDM_SEARCH_REPLACE);
        const HWND replace = tarnwick.WaitForDialog(L"Replace");
        ASSERT_NE(replace, nullptr);
        SetDlgItemTextW(replace, edt1, L"x\r\n[Tarnwick]\r\nStayOnTop=1");
        SetDlgItemTextW(replace, edt2, L"y\nCenterVertAfterFind=1");
        PostMessageW(GetDlgItem(replace, psh1), BM_CLICK, 0, 0);
        tarnwick.Answer(English(sandbox, IDS_SEARCH_NOT_FOUND),
                        English(sandbox, IDS_INFORMATION_CAPTION), L"OK");
        PressDialogButton(replace, IDCANCEL);
        tarnwick.CloseNormally();
        EXPECT_EQ(sandbox.IniValues({L"x", L"y", L"Width", L"Height", L"MruCount"}), written);
        EXPECT_EQ(sandbox.IniValues(
                      {L"FindString", L"ReplaceString", L"StayOnTop", L"CenterVertAfterFind"}),
                  (Names{L"x  [Tarnwick]  StayOnTop=1", L"y CenterVertAfterFind=1", L"(absent)",
                         L"(absent)"}))
            << "a typed line break started a line of its own";
    }
    ledger.outcome = "started, saved, wrote back valid values and no line breaks";
}

// CodeLibrary.dll holds every resource of English.dll and an entry point that leaves a mark.
// Chosen in the settings, or merely present when the Language submenu lists the folder, it is
// taken as resources only. Code that ran could do anything to the user's files: a mark counts
// as lost data.
void CodeInALanguageLibrary(Ledger& ledger) {
    Sandbox sandbox;
    const std::wstring mark = sandbox / L"code-ran";
    sandbox.PutLanguage(TestDataFile(L"CodeLibrary.dll"), L"Slovak.dll");
    sandbox.PutLanguage(TestDataFile(L"CodeLibrary.dll"), L"Code.dll");
    sandbox.WriteIni("[Tarnwick]\r\nLanguage=10002\r\n");
    SetEnvironmentVariableW(L"TARNWICK_CODE_MARK", mark.c_str());
    {
        Program tarnwick(sandbox);
        const HWND main = tarnwick.MainWindow();
        ASSERT_NE(main, nullptr);
        ExpectTitle(main, Title(Untitled(sandbox)));
        EXPECT_EQ(tarnwick.Windows(L"#32770"), std::vector<HWND>{}) << "the library was refused";
        const auto menusShown = [&](std::size_t count) {
            return WaitUntil([&] { return tarnwick.Windows(L"#32768").size() == count; });
        };
        BringToFront(main);
        PressKey('P', {VK_MENU});
        EXPECT_TRUE(menusShown(1)) << "the Options popup did not open";
        PressKey('L');
        EXPECT_TRUE(menusShown(2)) << "the Language submenu did not open";
        for (int i = 0; i < 3; ++i) {
            PressKey(VK_ESCAPE);
        }
        EXPECT_TRUE(menusShown(0)) << "the menus stayed open";
        tarnwick.CloseNormally();
    }
    ledger.Keeps(!FileExists(mark), "the library's entry point ran inside Tarnwick");
    // The same file loaded as a program library shows that its code would leave the mark.
    HMODULE code = LoadLibraryW((sandbox / L"Languages\\Code.dll").c_str());
    SetEnvironmentVariableW(L"TARNWICK_CODE_MARK", nullptr);
    ASSERT_NE(code, nullptr);
    FreeLibrary(code);
    EXPECT_TRUE(FileExists(mark)) << "the library leaves no mark even when its code runs";
    ledger.outcome = "taken as resources only; its code never ran";
}

// Files with a mark the program refuses, opened from the recent files: the message, and the
// document and the files as they were.
void RefusedByteOrderMarks(Ledger& ledger) {
    const std::pair<const wchar_t*, std::string> files[] = {
        {L"utf8.txt", "\xEF\xBB\xBFtext"},        {L"utf8-mark.txt", "\xEF\xBB\xBF"},
        {L"utf16be.txt", "\xFE\xFF\0t"s},         {L"utf16be-mark.txt", "\xFE\xFF"},
        {L"utf32le.txt", "\xFF\xFE\0\0t\0\0\0"s}, {L"utf32be.txt", "\0\0\xFE\xFF\0\0\0t"s},
    };
    Sandbox sandbox;
    std::string ini = "[Tarnwick]\r\nMruCount=" + std::to_string(std::size(files)) + "\r\n";
    for (std::size_t i = 0; i < std::size(files); ++i) {
        WriteBytes(sandbox / files[i].first, files[i].second);
        ini += "MRU" + std::to_string(i) + "=" + Utf8(sandbox / files[i].first) + "\r\n";
    }
    sandbox.WriteIni(ini);
    const std::wstring mine = sandbox / L"mine.txt";
    WriteBytes(mine, "mine");
    Program tarnwick(sandbox, Quoted(mine));
    for (std::size_t i = 0; i < std::size(files); ++i) {
        SCOPED_TRACE(Utf8(files[i].first));
        SendCommand(tarnwick.MainWindow(), IDM_FILE_RECENT_FIRST + static_cast<UINT>(i));
        AcknowledgeError(tarnwick, sandbox, IDS_BAD_FORMAT);
        ledger.KeepsDocument(tarnwick, L"mine.txt", L"mine", false);
        ledger.KeepsFile(sandbox / files[i].first, files[i].second);
    }
    tarnwick.CloseNormally();
    ledger.KeepsFile(mine, "mine");
    ledger.outcome = "6 files refused; document and files kept";
}

// The save question on each way out of a document. Cancel keeps everything on every way; Yes
// saves first, and for a new document through Save As, where a cancelled dialog cancels the
// close too. A file of 4 GiB (sparse, so that it costs no disk) opened after a No is refused by
// its size at once, and nothing changes.
void SaveQuestionAndFourGibibytes(Ledger& ledger) {
    Sandbox sandbox;
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
    const std::wstring a = sandbox / L"a.txt";
    const std::wstring b = sandbox / L"b.txt";
    WriteBytes(a, "alpha");
    WriteBytes(b, "beta");
    Program tarnwick(sandbox, Quoted(a));
    const HWND main = tarnwick.MainWindow();
    ASSERT_NE(main, nullptr);
    const HWND edit = tarnwick.EditControl();
    const std::wstring untitled = Untitled(sandbox);
    tarnwick.ExpectDocument(Title(L"a.txt"), L"alpha", false);

    // A command that went on after Cancel would show its dialog, another file or no window at
    // the next question.
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
        tarnwick.AnswerSaveQuestion(sandbox, a, L"Cancel");
        ledger.KeepsDocument(tarnwick, L"a.txt", L"alpha 2", true);
    }
    SendCommand(main, IDM_FILE_OPEN);
    tarnwick.AnswerSaveQuestion(sandbox, a, L"&No");
    tarnwick.ChooseInDialog(L"Open", huge);
    AcknowledgeError(tarnwick, sandbox, IDS_FILE_TOO_LARGE);
    ledger.KeepsDocument(tarnwick, L"a.txt", L"alpha 2", true);
    ledger.Keeps(SizeOf(huge) == 4ULL << 30, "huge.txt changed its size");
    ledger.KeepsFile(a, "alpha");

    // Yes saves before the Open dialog appears.
    SendCommand(main, IDM_FILE_OPEN);
    tarnwick.AnswerSaveQuestion(sandbox, a, L"&Yes");
    const HWND open = tarnwick.WaitForDialog(L"Open");
    ASSERT_NE(open, nullptr);
    ledger.KeepsFile(a, "alpha 2");
    ChooseFile(open, b);
    tarnwick.ExpectDocument(Title(L"b.txt"), L"beta", false);
    Retype(edit, L"beta 2");
    SendCommand(main, IDM_FILE_NEW);
    tarnwick.AnswerSaveQuestion(sandbox, b, L"&Yes");
    tarnwick.ExpectDocument(Title(untitled), L"", false);
    ledger.KeepsFile(b, "beta 2");

    // A new document is saved through Save As: cancelled there, after Yes on closing or from the
    // menu, it keeps the window and the text.
    InsertText(edit, L"draft");
    tarnwick.Close();
    tarnwick.AnswerSaveQuestion(sandbox, untitled, L"&Yes");
    CancelSaveAs(tarnwick);
    ledger.KeepsDocument(tarnwick, untitled, L"draft", true);
    SendCommand(main, IDM_FILE_SAVE_AS);
    CancelSaveAs(tarnwick);
    ledger.KeepsDocument(tarnwick, untitled, L"draft", true);
    const std::wstring draft = sandbox / L"draft.txt";
    EXPECT_FALSE(FileExists(draft));
    tarnwick.Close();
    tarnwick.AnswerSaveQuestion(sandbox, untitled, L"&Yes");
    tarnwick.ChooseInDialog(L"Save As", draft);
    EXPECT_EQ(tarnwick.WaitForExit(), 0u);
    ledger.KeepsFile(draft, "draft");
    ledger.outcome = "each answer on each way did what it says; 4 GiB refused at once";
}

// Every "a" replaced by 129 units: the result would pass the largest text the edit control
// holds (0x7FFFFFFE units). The user gives up the undo copy for one more try, which fails too;
// the text stays as it was and nothing is there to undo.
void ReplaceAllBeyondTheLimit(Ledger& ledger) {
    Sandbox sandbox;
    const std::wstring path = sandbox / L"many.txt";
    // 98 of every 100 units are "a": the result would be over 126 times as long.
    const std::string text = Lines(0x7FFFFFFE / 126 + 100, 'a');
    WriteBytes(path, text);
    Program tarnwick(sandbox, Quoted(path));
    const HWND main = tarnwick.MainWindow(60000);
    ASSERT_NE(main, nullptr);
    SendCommand(main, IDM_SEARCH_REPLACE);
    const HWND replace = tarnwick.WaitForDialog(L"Replace");
    ASSERT_NE(replace, nullptr);
    SetDlgItemTextW(replace, edt1, L"a");
    SetDlgItemTextW(replace, edt2, std::wstring(129, L'b').c_str());
    PostMessageW(GetDlgItem(replace, psh2), BM_CLICK, 0, 0);
    const MessageBoxView question = tarnwick.WaitForMessageBox(60000);
    EXPECT_EQ(question.text, English(sandbox, IDS_SEARCH_MEMORY_QUESTION));
    EXPECT_EQ(question.caption, English(sandbox, IDS_INFORMATION_CAPTION));
    tarnwick.Press(question, L"&Yes");
    const MessageBoxView box = tarnwick.WaitForMessageBox(60000);
    EXPECT_EQ(box.text, English(sandbox, IDS_OUT_OF_MEMORY));
    EXPECT_EQ(box.caption, English(sandbox, IDS_ERROR_CAPTION));
    tarnwick.Press(box, L"OK");
    PressDialogButton(replace, IDCANCEL);
    SendCommand(main, IDM_EDIT_UNDO);
    ExpectTitle(main, Title(L"many.txt"));
    // The whole text, as the program itself writes it out.
    Choose(tarnwick, IDM_FILE_SAVE_AS, sandbox / L"copy.txt");
    ExpectTitle(main, Title(L"copy.txt"));
    ledger.KeepsFile(sandbox / L"copy.txt", text);
    ledger.KeepsFile(path, text);
    tarnwick.CloseNormally();
    ledger.outcome = "memory question, out of memory; text unchanged, no undo";
}

constexpr std::pair<const char*, void (*)(Ledger&)> kFaults[] = {
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

// TARNWICK_FAULT, when set, names the one fault to try.
TEST(NoDataLoss, UnderEveryFault) {
    const testing::TestResult& result =
        *testing::UnitTest::GetInstance()->current_test_info()->result();
    const std::string only = Utf8(Environment(L"TARNWICK_FAULT"));
    std::string table = "fault                          | outcome | data lost\n";
    int tried = 0;
    int lost = 0;
    for (const auto& [name, walk] : kFaults) {
        if (!only.empty() && only != name) {
            continue;
        }
        SCOPED_TRACE(name);
        Ledger ledger;
        const int failuresBefore = result.total_part_count();
        walk(ledger);
        const int failed = result.total_part_count() - failuresBefore;
        tried += ledger.skipped ? 0 : 1;
        lost += ledger.lost ? 1 : 0;
        char row[512];
        std::snprintf(row, sizeof row, "%-30s | %s%s | %s\n", name,
                      ledger.skipped ? "skipped: no such disk here" : ledger.outcome.c_str(),
                      failed > 0 ? " [checks failed]" : "",
                      ledger.skipped ? "-"
                      : ledger.lost  ? "YES"
                                     : "no");
        table += row;
    }
    std::printf("%sfaults tried: %d, data lost: %d\n", table.c_str(), tried, lost);
    EXPECT_EQ(lost, 0);
}

} // namespace
