// Recovery of unsaved text: while the document is modified its text is kept in a recovery
// file, written by a thread of its own through the safe write, so that a copy started after a
// crash, a power cut or a killed process can offer it back.
#ifndef TARNWICK_DOCUMENT_RECOVERY_H
#define TARNWICK_DOCUMENT_RECOVERY_H

#include <windows.h>

// The text changed: its recovery file is written 2 s after the last change, and at least every
// 10 s while changes go on (large texts only once they rest).
void NoteRecoveryChange();
// kRecoveryTimer.
void OnRecoveryTimer();
// The document is no longer modified, or another took its place: the recovery file goes, once a
// write under way has ended.
void DiscardRecovery();
// The program ends normally: nothing is left to recover.
void EndRecovery();

// At start-up, before the document is loaded: offers the newest text that an ended copy of this
// settings file left, for DocumentPath when the command line named a file. True when the user
// took it back (it is then the document).
bool RestoreRecoveredText();

// The text as the recovery write takes it, on the window thread: one copy of the control's
// buffer into fresh memory (freed with HeapFree). Null when there was no memory for it.
BYTE* CopyTextForRecovery(SIZE_T& bytes);

#endif
