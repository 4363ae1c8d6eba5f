#include "document/view_guard.h"

namespace {

// A guarded read on one thread.
struct Guard {
    const BYTE* begin;
    const BYTE* end;
    void* resume[5];
};

// Each thread's guarded read lives in the thread's own slot, so that a fault on one thread is
// never resumed on another's stack. A system slot rather than thread_local: the handler reads it
// for every exception of every thread, and reading a system slot never allocates.
const DWORD GuardSlot = TlsAlloc();

Guard* ThreadGuard() {
    return static_cast<Guard*>(TlsGetValue(GuardSlot));
}

[[noreturn]] void ResumeAfterFault() {
    __builtin_longjmp(ThreadGuard()->resume, 1);
}

// Windows reports a page of a view that cannot be read as an in-page error; Wine, whose views
// are the system's file mappings, as an access violation. Either, for a read inside the view,
// means the view's bytes cannot be had.
bool IsUnreadablePage(DWORD code) {
    return code == EXCEPTION_IN_PAGE_ERROR || code == EXCEPTION_ACCESS_VIOLATION;
}

// A read fault inside the view guarded on the faulting thread: the thread goes on in
// ResumeAfterFault, entered as if called from the faulting instruction, once the system has
// finished the dispatch. Leaving the handler itself by a jump would strand the dispatcher's
// frames. Any other exception passes on with the thread's last error as it was.
LONG CALLBACK OnViewFault(EXCEPTION_POINTERS* exception) {
    const DWORD error = GetLastError();
    const Guard* guard = ThreadGuard();
    SetLastError(error);
    const EXCEPTION_RECORD* record = exception->ExceptionRecord;
    if (guard == nullptr || !IsUnreadablePage(record->ExceptionCode) ||
        record->NumberParameters < 2 || record->ExceptionInformation[0] != 0) {
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
    if (GuardSlot == TLS_OUT_OF_INDEXES) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    Guard guard{static_cast<const BYTE*>(view), static_cast<const BYTE*>(view) + size, {}};
    PVOID handler = AddVectoredExceptionHandler(1, OnViewFault);
    if (handler == nullptr) {
        return false;
    }
    if (!TlsSetValue(GuardSlot, &guard)) {
        RemoveVectoredExceptionHandler(handler);
        return false;
    }
    bool done;
    if (__builtin_setjmp(guard.resume) == 0) {
        done = read(context);
    } else {
        done = false;
        SetLastError(ERROR_READ_FAULT);
    }
    const DWORD error = GetLastError();
    TlsSetValue(GuardSlot, nullptr);
    RemoveVectoredExceptionHandler(handler);
    SetLastError(error);
    return done;
}
