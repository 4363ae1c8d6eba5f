// The edit control's font and colours, chosen by the user and kept in the settings.
#ifndef TARNWICK_VIEW_FONTS_H
#define TARNWICK_VIEW_FONTS_H

#include <windows.h>

#include <commdlg.h>

// The one font record of the run: the screen font, the font dialog and printing share it.
extern LOGFONTW EditLogFont;
extern HFONT EditFont;
// The font dialog's record; its iPointSize (tenths of a point) is 100 until a font is chosen.
extern CHOOSEFONTW FontDialogRecord;
// The height of a line of the edit font in pixels; never zero.
extern int LineHeight;
// Whole lines that fit in the edit control.
extern int VisibleLines;

// The font from the settings, given to the edit control; without one the control keeps its
// default font and LineHeight is measured from that.
void CreateEditFont();
// The font and colour dialogs' records, owned by the main window.
void InitFontDialogs(HWND owner);
// Command 402.
void ChooseEditFont();
// The font at the stored size for the window's DPI, after a change of DPI.
void ApplyFontSize();
// Commands 500 and 501.
void ChooseBackgroundColour();
void ChooseTextColour();
void MeasureLineHeight();
void CountVisibleLines();
// WM_CTLCOLOREDIT: the colours of the text and the brush of the background.
HBRUSH ColourEditControl(HDC context);
// WM_DESTROY: the font and the brush go.
void DeleteFontsAndBrushes();

#endif
