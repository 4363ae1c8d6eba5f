// The edit control's colours and the one brush that paints its background.
#include "app/settings.h"
#include "tests/wine-unit/edit_window.h"
#include "view/edit_host.h"
#include "view/fonts.h"

#include <gtest/gtest.h>

namespace {

class EditColours : public testing::Test {
  protected:
    void SetUp() override { SettingValues = DefaultIntegerSettings(); }
    void TearDown() override { DeleteFontsAndBrushes(); }

    EditWindow edit;
};

TEST_F(EditColours, PaintInTheChosenColoursWithOneBrushUntilTheColourChanges) {
    SetSetting(IntKey::BkgColor, RGB(10, 20, 30));
    SetSetting(IntKey::TxtColor, RGB(200, 100, 50));
    HDC context = GetDC(EditControl);
    HBRUSH first = ColourEditControl(context);
    EXPECT_EQ(GetBkColor(context), RGB(10, 20, 30));
    EXPECT_EQ(GetTextColor(context), RGB(200, 100, 50));
    LOGBRUSH description{};
    ASSERT_NE(GetObjectW(first, sizeof description, &description), 0);
    EXPECT_EQ(description.lbColor, RGB(10, 20, 30));
    for (int repaint = 0; repaint < 5000; ++repaint) {
        ASSERT_EQ(ColourEditControl(context), first) << "repaint " << repaint;
    }
    SetSetting(IntKey::BkgColor, RGB(255, 0, 0));
    EXPECT_NE(ColourEditControl(context), first);
    EXPECT_EQ(GetObjectType(first), 0u) << "the previous brush was not deleted";
    ReleaseDC(EditControl, context);
}

TEST_F(EditColours, MeasureALineHeightEvenWithoutAFontOfTheirOwn) {
    MeasureLineHeight();
    EXPECT_GT(LineHeight, 0);
    CountVisibleLines();
    EXPECT_GE(VisibleLines, 0);
}

} // namespace
