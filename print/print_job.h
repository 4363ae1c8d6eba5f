// The pages of one print job, drawn into a printer's device context between StartDocW and the
// end of the job.
#ifndef TARNWICK_PRINT_PRINT_JOB_H
#define TARNWICK_PRINT_PRINT_JOB_H

#include "print/page_layout.h"

#include <windows.h>

// The format of every page: words wrap at the rectangle's width, tabs expand to stops every
// eight average character widths, an ampersand is an ordinary character, and a line that would
// be cut off at the bottom is left for the next page.
inline constexpr UINT kPageFormat = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_EDITCONTROL;

// Prints `copies` copies of the text, page by page, with the font selected in the context,
// and ends the job with EndDoc. A page that fails to start or end, or on which not even one
// character fits, cancels the job with AbortDoc instead; returns false then.
bool PrintPages(HDC printer, const wchar_t* text, size_t length, const DeviceRect& rectangle,
                int copies);

#endif
