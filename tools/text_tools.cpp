#include "tools/text_tools.h"

// The transforms and insertions come with the text tools; until then they do nothing.
void RunTextTool(UINT) {}
