#include "document/encoding_io.h"

#include "app/main_window.h"
#include "app/settings.h"
#include "language/resource_ids.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"
#include "view/status_bar.h"

#include <climits>
#include <cstring>
#include <cwchar>

EncodingId CurrentEncoding = kEncodingAnsi;

namespace {

void MoveCheckMark(UINT from, UINT to) {
    HMENU menu = GetMenu(MainWindow);
    CheckMenuItem(menu, from, MF_BYCOMMAND | MF_UNCHECKED);
    CheckMenuItem(menu, to, MF_BYCOMMAND | MF_CHECKED);
}

} // namespace

void SetCurrentEncoding(EncodingId encoding) {
    MoveCheckMark(CurrentEncoding, encoding);
    CurrentEncoding = encoding;
    ShowEncodingLabel();
}

void ChangeCurrentEncoding(EncodingId encoding) {
    if (encoding == CurrentEncoding) {
        return;
    }
    SetCurrentEncoding(encoding);
    EditSetModify(EditControl, true);
    RefreshStatus();
}

void ChooseNewFileEncoding(UINT command) {
    const bool ansi = command == IDM_OPTIONS_NEW_FILE_ANSI;
    MoveCheckMark(ansi ? IDM_OPTIONS_NEW_FILE_UTF16LE : IDM_OPTIONS_NEW_FILE_ANSI, command);
    WriteSetting(IntKey::NewFileType,
                 static_cast<std::int32_t>(ansi ? kEncodingAnsi : kEncodingUtf16Le));
}

namespace {

// What the ANSI conversion may do. Where the ANSI code page is UTF-8 only unpaired surrogates
// can be lost, and the flags that report a replaced character are not allowed there.
struct AnsiConversion {
    DWORD flags;
    bool reportsDefault;
};

AnsiConversion AnsiConversionFor(bool bestFit) {
    if (bestFit) {
        return {0, false};
    }
    if (GetACP() == CP_UTF8) {
        return {WC_ERR_INVALID_CHARS, false};
    }
    return {WC_NO_BEST_FIT_CHARS, true};
}

} // namespace

bool EncodeText(const wchar_t* text, DWORD length, EncodingId encoding, bool bestFit,
                EncodedText& encoded) {
    if (encoding != kEncodingAnsi) {
        encoded.pieces[0] = std::span<const BYTE>(kUtf16LeMark);
        encoded.pieces[1] = std::span<const BYTE>(reinterpret_cast<const BYTE*>(text),
                                                  SIZE_T{length} * sizeof(wchar_t));
        return true;
    }
    if (length == 0) {
        return true;
    }
    if (length > static_cast<DWORD>(INT_MAX)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    const AnsiConversion conversion = AnsiConversionFor(bestFit);
    BOOL replaced = FALSE;
    BOOL* const reportReplaced = conversion.reportsDefault ? &replaced : nullptr;
    const int needed = WideCharToMultiByte(CP_ACP, conversion.flags, text, static_cast<int>(length),
                                           nullptr, 0, nullptr, reportReplaced);
    if (needed <= 0) {
        return false;
    }
    GlobalBlock block(static_cast<SIZE_T>(needed));
    if (!block) {
        return false;
    }
    const int written =
        WideCharToMultiByte(CP_ACP, conversion.flags, text, static_cast<int>(length),
                            block.As<char>(), needed, nullptr, reportReplaced);
    if (written != needed) {
        return false;
    }
    if (replaced) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return false;
    }
    encoded.ansi = std::move(block);
    encoded.pieces[0] = std::span<const BYTE>(encoded.ansi.As(), static_cast<SIZE_T>(needed));
    return true;
}
