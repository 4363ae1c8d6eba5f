// The path of the current document; empty for a new one.
#ifndef TARNWICK_DOCUMENT_DOCUMENT_PATH_H
#define TARNWICK_DOCUMENT_DOCUMENT_PATH_H

#include "app/text_units.h"

#include <windows.h>

extern wchar_t DocumentPath[MAX_PATH];

#endif
