// Typing a file into the editor one character at a time, on a thread of its own.
#ifndef TARNWICK_DOCUMENT_TYPING_H
#define TARNWICK_DOCUMENT_TYPING_H

#include "app/handles.h"

#include <windows.h>

#include <atomic>

// Non-zero while a file is being typed; clearing it stops the typing before its next
// character.
extern std::atomic<LONG> TypingActive;

// Starts typing the zero-terminated text at the start of the block, which the typing thread
// then owns and frees. length is the number of characters in the text: with none, nothing is
// typed. A typing still running is stopped first. False, with the system's error
// code, when no thread could be started (the block is then freed here).
[[nodiscard]] bool StartTyping(MovableBlock text, DWORD length);

// Stops a running typing and waits for its thread to end, handling the characters it is
// sending meanwhile.
void StopTyping();

#endif
