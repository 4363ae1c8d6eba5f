// The document's encoding in the program: the current one, the one for new documents, and
// the conversions between file bytes and the edit control's UTF-16 text.
#ifndef TARNWICK_DOCUMENT_ENCODING_IO_H
#define TARNWICK_DOCUMENT_ENCODING_IO_H

#include "app/handles.h"
#include "document/encoding.h"

#include <windows.h>

#include <span>

// The encoding the next save writes; its Encoding menu item carries the check mark.
extern EncodingId CurrentEncoding;

// Makes the encoding current: the check mark moves to its item and the status bar shows its
// label.
void SetCurrentEncoding(EncodingId encoding);
// Commands 410 and 411: the text is not converted, but the document counts as changed.
void ChangeCurrentEncoding(EncodingId encoding);
// Commands 504 and 505: the encoding of new documents, written to the settings at once.
void ChooseNewFileEncoding(UINT command);

// The bytes a save writes, in pieces: the mark and the control's own text for UTF-16 LE, the
// converted text for ANSI (sized by asking the conversion first, so no code page cuts it).
// ANSI conversion changes no character unless `bestFit` allows it: a text the code page
// cannot hold exactly fails with ERROR_NO_UNICODE_TRANSLATION. With `bestFit` such characters
// become their closest letters or the code page's default character.
struct EncodedText {
    GlobalBlock ansi;
    std::span<const BYTE> pieces[2];
};
[[nodiscard]] bool EncodeText(const wchar_t* text, DWORD length, EncodingId encoding, bool bestFit,
                              EncodedText& encoded);

#endif
