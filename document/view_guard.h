// Reading from a mapped view of a file. A read the system cannot satisfy (the file was made
// shorter meanwhile, the disk failed) raises EXCEPTION_IN_PAGE_ERROR instead of returning an
// error; the guard turns it into a failed call.
#ifndef TARNWICK_DOCUMENT_VIEW_GUARD_H
#define TARNWICK_DOCUMENT_VIEW_GUARD_H

#include <windows.h>

// Calls read(context) on this thread. A failed read of an address of [view, view + size) on this
// thread during the call ends it at once: the result is then false with ERROR_READ_FAULT. The
// read must hold nothing that needs releasing, since it is left without returning. A fault on
// another thread, in the view or not, is left to that thread's own handling.
[[nodiscard]] bool ReadGuarded(const void* view, SIZE_T size, bool (*read)(void* context),
                               void* context);

#endif
