#include "language/message_box.h"

#include "language/language_library.h"

int MessageBoxFromIds(HWND owner, UINT textId, UINT captionId, UINT type) {
    wchar_t text[256];
    wchar_t caption[256];
    if (LoadStringW(LanguageLibrary, textId, text, ARRAYSIZE(text)) <= 0) {
        text[0] = L'\0';
    }
    if (LoadStringW(LanguageLibrary, captionId, caption, ARRAYSIZE(caption)) <= 0) {
        caption[0] = L'\0';
    }
    return MessageBoxW(owner, text, caption, type);
}
