#include "view/status_bar.h"

#include "document/encoding.h"
#include "document/encoding_io.h"

#include <commctrl.h>

HWND StatusBar;

void ShowEncodingLabel() {
    if (StatusBar == nullptr) {
        return;
    }
    SendMessageW(StatusBar, SB_SETTEXTW, kStatusPartEncoding,
                 reinterpret_cast<LPARAM>(AsWide(EncodingLabel(CurrentEncoding))));
}
