#include "view/fonts.h"

#include "app/dpi.h"
#include "app/settings.h"
#include "view/edit_host.h"
#include "view/edit_ops.h"

#include <commdlg.h>

LOGFONTW EditLogFont;
HFONT EditFont;
int LineHeight = 16;
int VisibleLines;
CHOOSEFONTW FontDialogRecord;

namespace {

CHOOSECOLORW ColourDialogRecord;
COLORREF CustomColours[16];
HBRUSH BackgroundBrush;
COLORREF BackgroundBrushColour;

BYTE LowByte(IntKey key) {
    return static_cast<BYTE>(Setting(key) & 0xFF);
}

void FillLogFontFromSettings() {
    EditLogFont.lfHeight = ScaleToDpi(Setting(IntKey::FontHeight));
    EditLogFont.lfWidth = ScaleToDpi(Setting(IntKey::FontWidth));
    EditLogFont.lfEscapement = Setting(IntKey::Escapement);
    EditLogFont.lfOrientation = Setting(IntKey::Orientation);
    EditLogFont.lfWeight = Setting(IntKey::Weight);
    EditLogFont.lfItalic = LowByte(IntKey::Italic);
    EditLogFont.lfUnderline = LowByte(IntKey::Underline);
    EditLogFont.lfStrikeOut = LowByte(IntKey::Strikeout);
    EditLogFont.lfCharSet = LowByte(IntKey::Charset);
    EditLogFont.lfOutPrecision = LowByte(IntKey::OutPrecision);
    EditLogFont.lfClipPrecision = LowByte(IntKey::ClipPrecision);
    EditLogFont.lfQuality = LowByte(IntKey::Quality);
    EditLogFont.lfPitchAndFamily = LowByte(IntKey::Family);
    lstrcpynW(EditLogFont.lfFaceName, FontName, LF_FACESIZE);
}

void StoreFontSettings() {
    SetSetting(IntKey::FontHeight, ScaleTo96(EditLogFont.lfHeight));
    SetSetting(IntKey::FontWidth, ScaleTo96(EditLogFont.lfWidth));
    SetSetting(IntKey::Escapement, EditLogFont.lfEscapement);
    SetSetting(IntKey::Orientation, EditLogFont.lfOrientation);
    SetSetting(IntKey::Weight, EditLogFont.lfWeight);
    SetSetting(IntKey::Italic, EditLogFont.lfItalic);
    SetSetting(IntKey::Underline, EditLogFont.lfUnderline);
    SetSetting(IntKey::Strikeout, EditLogFont.lfStrikeOut);
    SetSetting(IntKey::Charset, EditLogFont.lfCharSet);
    SetSetting(IntKey::OutPrecision, EditLogFont.lfOutPrecision);
    SetSetting(IntKey::ClipPrecision, EditLogFont.lfClipPrecision);
    SetSetting(IntKey::Quality, EditLogFont.lfQuality);
    SetSetting(IntKey::Family, EditLogFont.lfPitchAndFamily);
    lstrcpynW(FontName, EditLogFont.lfFaceName, ARRAYSIZE(FontName));
    WriteIntegerKeys(kFontKeysFirst, kFontKeyCount);
    WriteStringSetting(AsWide(kNameSetting.key), FontName);
}

void ChooseColour(IntKey setting) {
    ColourDialogRecord.rgbResult = static_cast<COLORREF>(Setting(setting));
    if (!ChooseColorW(&ColourDialogRecord)) {
        return;
    }
    WriteSetting(setting, static_cast<std::int32_t>(ColourDialogRecord.rgbResult));
    InvalidateRect(EditControl, nullptr, TRUE);
}

// The control takes the new font before the old one goes.
void UseEditFont(HFONT font) {
    EditSetFont(EditControl, font);
    if (EditFont != nullptr) {
        DeleteObject(EditFont);
    }
    EditFont = font;
    MeasureLineHeight();
    CountVisibleLines();
}

} // namespace

void CreateEditFont() {
    FillLogFontFromSettings();
    if (HFONT font = CreateFontIndirectW(&EditLogFont)) {
        EditFont = font;
        EditSetFont(EditControl, EditFont);
    }
    MeasureLineHeight();
}

void InitFontDialogs(HWND owner) {
    FontDialogRecord.lStructSize = sizeof FontDialogRecord;
    FontDialogRecord.hwndOwner = owner;
    FontDialogRecord.lpLogFont = &EditLogFont;
    FontDialogRecord.iPointSize = 100;
    ColourDialogRecord.lStructSize = sizeof ColourDialogRecord;
    ColourDialogRecord.hwndOwner = owner;
    ColourDialogRecord.lpCustColors = CustomColours;
    ColourDialogRecord.Flags = CC_RGBINIT | CC_FULLOPEN;
}

void ChooseEditFont() {
    FontDialogRecord.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
    if (!ChooseFontW(&FontDialogRecord)) {
        return;
    }
    HFONT font = CreateFontIndirectW(&EditLogFont);
    if (font == nullptr) {
        return;
    }
    StoreFontSettings();
    UseEditFont(font);
    SetFocus(EditControl);
}

void ApplyFontSize() {
    EditLogFont.lfHeight = ScaleToDpi(Setting(IntKey::FontHeight));
    EditLogFont.lfWidth = ScaleToDpi(Setting(IntKey::FontWidth));
    if (HFONT font = CreateFontIndirectW(&EditLogFont)) {
        UseEditFont(font);
    }
}

void ChooseBackgroundColour() {
    ChooseColour(IntKey::BkgColor);
}

void ChooseTextColour() {
    ChooseColour(IntKey::TxtColor);
}

void MeasureLineHeight() {
    HDC context = GetDC(EditControl);
    if (context == nullptr) {
        return;
    }
    // Without a font of its own the control draws in the one it was given by default.
    HFONT font = EditFont != nullptr
                     ? EditFont
                     : reinterpret_cast<HFONT>(SendMessageW(EditControl, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font != nullptr ? SelectObject(context, font) : nullptr;
    TEXTMETRICW metrics;
    if (GetTextMetricsW(context, &metrics) && metrics.tmHeight > 0) {
        LineHeight = metrics.tmHeight;
    }
    if (previous != nullptr) {
        SelectObject(context, previous);
    }
    ReleaseDC(EditControl, context);
}

void CountVisibleLines() {
    RECT client;
    GetClientRect(EditControl, &client);
    VisibleLines = client.bottom / LineHeight;
}

HBRUSH ColourEditControl(HDC context) {
    const COLORREF background = static_cast<COLORREF>(Setting(IntKey::BkgColor));
    SetTextColor(context, static_cast<COLORREF>(Setting(IntKey::TxtColor)));
    SetBkColor(context, background);
    if (BackgroundBrush == nullptr || BackgroundBrushColour != background) {
        LOGBRUSH description{BS_SOLID, background, 0};
        if (HBRUSH brush = CreateBrushIndirect(&description)) {
            if (BackgroundBrush != nullptr) {
                DeleteObject(BackgroundBrush);
            }
            BackgroundBrush = brush;
            BackgroundBrushColour = background;
        }
    }
    return BackgroundBrush;
}

void DeleteFontsAndBrushes() {
    if (EditFont != nullptr) {
        DeleteObject(EditFont);
        EditFont = nullptr;
    }
    if (BackgroundBrush != nullptr) {
        DeleteObject(BackgroundBrush);
        BackgroundBrush = nullptr;
    }
}
