#include "document/typing.h"

#include "document/typing_walk.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"

#include <new>

std::atomic<LONG> TypingActive{0};

namespace {

constexpr DWORD kPauseMilliseconds = 150;

// The running typing thread, kept so that a new typing can wait for it to end.
HANDLE TypingThread;

struct TypingJob {
    HLOCAL text;
    DWORD length;
};

// Types the text until its end or a stop, then leaves the control unmodified with no undo.
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
        EditTypeChar(EditControl, static_cast<wchar_t>(typed->code));
        if (typed->pauseAfter) {
            Sleep(kPauseMilliseconds);
        }
    }
    EditSetModify(EditControl, false);
    EditEmptyUndoBuffer(EditControl);
}

DWORD WINAPI TypeText(void* parameter) {
    TypingJob* job = static_cast<TypingJob*>(parameter);
    if (job->length != 0) {
        TypeAll(job->text);
        TypingActive.store(0);
    }
    LocalFree(job->text);
    delete job;
    return 0;
}

} // namespace

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
}

bool StartTyping(MovableBlock text, DWORD length) {
    StopTyping();
    TypingJob* job = new (std::nothrow) TypingJob{nullptr, length};
    if (job == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    job->text = text.Release();
    // Set before the thread runs, so that a stop asked for at once is never lost.
    TypingActive.store(length != 0 ? 1 : 0);
    TypingThread = CreateThread(nullptr, 0, TypeText, job, 0, nullptr);
    if (TypingThread == nullptr) {
        const DWORD error = GetLastError();
        TypingActive.store(0);
        LocalFree(job->text);
        delete job;
        SetLastError(error);
        return false;
    }
    return true;
}
