#include "document/typing.h"

#include "app/main_window.h"
#include "app/window_procedure.h"
#include "document/recovery.h"
#include "document/typing_walk.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"
#include "view/status_bar.h"

#include <new>

std::atomic<LONG> TypingActive{0};

namespace {

constexpr DWORD kPauseMilliseconds = 150;

// The running typing thread, kept so that a new typing can wait for it to end.
HANDLE TypingThread;
// Each playback has a number; its end is handled once, on the window thread.
UINT PlaybackNumber;
UINT FinishedPlayback;
// Something besides the playback changed the text since it began: the document then stays
// modified when the playback ends.
bool TextChangedBesidesPlayback;
// True on the typing thread from just before it sends a character until the control took it,
// and on the window thread while that character is handled.
std::atomic<bool> SendingCharacter{false};
bool HandlingPlaybackCharacter;

struct TypingJob {
    HLOCAL text;
    DWORD length;
    UINT number;
};

// Types the text until its end or a stop.
void TypeAll(HLOCAL block) {
    const LockedBlock locked(block);
    if (!locked) {
        return;
    }
    const Unit* text = locked.As<const Unit>();
    std::size_t position = 0;
    while (TypingActive.load() != 0) {
        const auto typed = NextTypedCharacter(text, position);
        if (!typed) {
            break;
        }
        SendingCharacter.store(true);
        EditTypeChar(EditControl, static_cast<wchar_t>(typed->code));
        SendingCharacter.store(false);
        if (typed->pauseAfter) {
            Sleep(kPauseMilliseconds);
        }
    }
}

// The end is left to the window thread, which owns the modified flag, the undo and the title.
DWORD WINAPI TypeText(void* parameter) {
    TypingJob* job = static_cast<TypingJob*>(parameter);
    if (job->length != 0) {
        TypeAll(job->text);
        TypingActive.store(0);
    }
    PostMessageW(MainWindow, kPlaybackEndedMessage, job->number, 0);
    LocalFree(job->text);
    delete job;
    return 0;
}

// The typed text counts as the file's, unless the user changed it meanwhile; the playback's
// characters leave nothing to undo.
void FinishPlayback(UINT number) {
    if (number != PlaybackNumber || number == FinishedPlayback) {
        return;
    }
    FinishedPlayback = number;
    TypingActive.store(0);
    if (!TextChangedBesidesPlayback) {
        EditSetModify(EditControl, false);
    }
    EditEmptyUndoBuffer(EditControl);
    RefreshStatus();
    // Nothing of a playback is kept for recovery until it has ended.
    NoteRecoveryChange();
}

} // namespace

PlaybackCharacterScope::PlaybackCharacterScope() : outer_(HandlingPlaybackCharacter) {
    // A character sent by another thread while the typing thread is sending one is the
    // playback's; keys, clicks and other programs' messages are the user's.
    if (InSendMessage() && SendingCharacter.load()) {
        HandlingPlaybackCharacter = true;
    }
}

PlaybackCharacterScope::~PlaybackCharacterScope() {
    HandlingPlaybackCharacter = outer_;
}

void NoteTextChange() {
    if (TypingActive.load() != 0 && !HandlingPlaybackCharacter) {
        TextChangedBesidesPlayback = true;
    }
}

void NoteWholeTextChange() {
    if (TypingActive.load() != 0) {
        TextChangedBesidesPlayback = true;
    }
}

void OnPlaybackEnded(WPARAM number) {
    FinishPlayback(static_cast<UINT>(number));
}

void StopTyping() {
    if (TypingThread == nullptr) {
        return;
    }
    TypingActive.store(0);
    // The thread may be waiting for this thread to take its character: keep taking sent
    // messages while waiting.
    while (MsgWaitForMultipleObjects(1, &TypingThread, FALSE, INFINITE, QS_SENDMESSAGE) ==
           WAIT_OBJECT_0 + 1) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(TypingThread);
    TypingThread = nullptr;
    FinishPlayback(PlaybackNumber);
}

bool StartTyping(MovableBlock text, DWORD length) {
    StopTyping();
    TypingJob* job = new (std::nothrow) TypingJob{nullptr, length, PlaybackNumber + 1};
    if (job == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    job->text = text.Release();
    ++PlaybackNumber;
    TextChangedBesidesPlayback = false;
    // Set before the thread runs, so that a stop asked for at once is never lost.
    TypingActive.store(length != 0 ? 1 : 0);
    TypingThread = CreateThread(nullptr, 0, TypeText, job, 0, nullptr);
    if (TypingThread == nullptr) {
        const DWORD error = GetLastError();
        TypingActive.store(0);
        FinishedPlayback = PlaybackNumber;
        LocalFree(job->text);
        delete job;
        SetLastError(error);
        return false;
    }
    return true;
}
