#include "view/edit_host.h"

HWND EditControl;
HLOCAL EditTextHandle;
