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

// Stops a running typing, waits for its thread to end (handling the characters it is sending
// meanwhile) and ends the playback: the document is unmodified unless something else changed
// its text, its undo is empty and the title and status show that.
void StopTyping();

// kPlaybackEndedMessage: the end of that playback, unless it has been handled already.
void OnPlaybackEnded(WPARAM number);

// Held by the edit control while it handles a character: the changes it makes count as the
// playback's when the character came from the typing thread.
class PlaybackCharacterScope {
  public:
    PlaybackCharacterScope();
    ~PlaybackCharacterScope();
    PlaybackCharacterScope(const PlaybackCharacterScope&) = delete;
    PlaybackCharacterScope& operator=(const PlaybackCharacterScope&) = delete;

  private:
    bool outer_;
};

// EN_CHANGE of the edit control: a change outside a playback character is the user's.
void NoteTextChange();
// A change of the whole text (Replace All, its undo) while a playback runs.
void NoteWholeTextChange();

#endif
