#include "document/view_guard.h"

namespace {

// The guarded read of this process; only one runs at a time, on the window's thread.
struct Guard {
    const BYTE* begin;
    const BYTE* end;
    DWORD thread;
    void* resume[5];
};
Guard* ActiveGuard;

[[noreturn]] void ResumeAfterFault() {
    __builtin_longjmp(ActiveGuard->resume, 1);
}

// Windows reports a page of a view that cannot be read as an in-page error; Wine, whose views
// are the system's file mappings, as an access violation. Either, for a read inside the view,
// means the view's bytes cannot be had.
bool IsUnreadablePage(DWORD code) {
    return code == EXCEPTION_IN_PAGE_ERROR || code == EXCEPTION_ACCESS_VIOLATION;
}

// A read fault inside the guarded view: the thread goes on in ResumeAfterFault, entered as
// if called from the faulting instruction, once the system has finished the dispatch. Leaving
// the handler itself by a jump would strand the dispatcher's frames.
LONG CALLBACK OnViewFault(EXCEPTION_POINTERS* exception) {
    const Guard* guard = ActiveGuard;
    const EXCEPTION_RECORD* record = exception->ExceptionRecord;
    if (guard == nullptr || guard->thread != GetCurrentThreadId() ||
        !IsUnreadablePage(record->ExceptionCode) || record->NumberParameters < 2 ||
        record->ExceptionInformation[0] != 0) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    const BYTE* address = reinterpret_cast<const BYTE*>(record->ExceptionInformation[1]);
    if (address < guard->begin || address >= guard->end) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    CONTEXT* context = exception->ContextRecord;
    // A called function finds its stack 8 bytes below a 16-byte boundary.
    context->Rsp = (context->Rsp & ~DWORD64{15}) - 8;
    context->Rip = reinterpret_cast<DWORD64>(&ResumeAfterFault);
    return EXCEPTION_CONTINUE_EXECUTION;
}

} // namespace

bool ReadGuarded(const void* view, SIZE_T size, bool (*read)(void* context), void* context) {
    Guard guard{static_cast<const BYTE*>(view),
                static_cast<const BYTE*>(view) + size,
                GetCurrentThreadId(),
                {}};
    PVOID handler = AddVectoredExceptionHandler(1, OnViewFault);
    if (handler == nullptr) {
        return false;
    }
    ActiveGuard = &guard;
    bool done;
    if (__builtin_setjmp(guard.resume) == 0) {
        done = read(context);
    } else {
        done = false;
        SetLastError(ERROR_READ_FAULT);
    }
    ActiveGuard = nullptr;
    const DWORD error = GetLastError();
    RemoveVectoredExceptionHandler(handler);
    SetLastError(error);
    return done;
}
