#include "language/message_box.h"

#include "language/language_library.h"

int MessageBoxFromIds(HWND owner, UINT textId, UINT captionId, UINT type) {
    wchar_t text[256];
    wchar_t caption[256];
    LoadLanguageString(textId, text);
    LoadLanguageString(captionId, caption);
    return MessageBoxW(owner, text, caption, type);
}
