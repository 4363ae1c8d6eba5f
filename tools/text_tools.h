// Commands that rewrite the selection or insert text at the caret, and the small selection
// commands.
#ifndef TARNWICK_TOOLS_TEXT_TOOLS_H
#define TARNWICK_TOOLS_TEXT_TOOLS_H

#include <windows.h>

// Commands 5, 6, 7, 100, 203 to 206, 400 and 800 to 802.
void RunTextTool(UINT command);

#endif
