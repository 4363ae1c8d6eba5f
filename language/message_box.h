// Message boxes whose texts come from the language library.
#ifndef TARNWICK_LANGUAGE_MESSAGE_BOX_H
#define TARNWICK_LANGUAGE_MESSAGE_BOX_H

#include <windows.h>

// Loads the text and the caption by their string ids and shows them; returns MessageBoxW's
// result.
int MessageBoxFromIds(HWND owner, UINT textId, UINT captionId, UINT type);

#endif
