#include "document/document_path.h"

wchar_t DocumentPath[MAX_PATH];
