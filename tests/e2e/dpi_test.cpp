// The program at another DPI: geometry and the font scaled on the screen, but stored in pixels
// at 96 DPI, so that settings files and other running copies agree whatever each one's DPI.
#include "tests/e2e/driver.h"

#include <commctrl.h>

namespace {

constexpr int kPartEdgesAt96[] = {355, 495, 660, 697, 750, 798, 885, -1};

// The system DPI of programs started while it lives. Wine reads it once as each program starts,
// from the user's LogPixels value, and never changes it for a running program.
class SystemDpi {
  public:
    explicit SystemDpi(DWORD dpi) {
        DWORD size = sizeof previous_;
        had_ = RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_DWORD, nullptr, &previous_,
                            &size) == ERROR_SUCCESS;
        RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &dpi, sizeof dpi);
    }
    ~SystemDpi() {
        if (had_) {
            RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &previous_,
                            sizeof previous_);
        } else {
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, kValue);
        }
    }
    SystemDpi(const SystemDpi&) = delete;
    SystemDpi& operator=(const SystemDpi&) = delete;

  private:
    static constexpr const wchar_t* kKey = L"Control Panel\\Desktop";
    static constexpr const wchar_t* kValue = L"LogPixels";
    DWORD previous_ = 96;
    bool had_ = false;
};

std::vector<int> PartEdgesAt(int dpi) {
    std::vector<int> edges;
    for (int edge : kPartEdgesAt96) {
        edges.push_back(edge < 0 ? -1 : MulDiv(edge, dpi, 96));
    }
    return edges;
}

void ExpectRect(HWND window, const RECT& expected) {
    RECT seen{};
    EXPECT_TRUE(WaitUntil([&] {
        seen = WindowRect(window);
        return EqualRect(&seen, &expected) != 0;
    })) << "window at "
        << seen.left << "," << seen.top << " " << seen.right - seen.left << "x"
        << seen.bottom - seen.top;
}

TEST(HighDpi, ScalesTheWindowStoresAt96DpiAndFollowsAChangeOfDpi) {
    const SystemDpi dpi(144);
    Sandbox sandbox;
    sandbox.WriteIni("[Tarnwick]\r\nx=40\r\ny=30\r\nWidth=400\r\nHeight=300\r\n");
    Program tarnwick(sandbox);
    const HWND main = tarnwick.MainWindow();
    ExpectRect(main, {60, 45, 60 + 600, 45 + 450});
    const HWND bar = FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr);
    EXPECT_EQ(StatusPartEdges(bar), PartEdgesAt(144));

    // Ten points chosen at 144 DPI are stored as the height of ten points at 96 DPI, so the
    // font does not grow at the next start.
    ChooseFontInDialog(tarnwick, L"DejaVu Sans Mono", L"10");
    // Family is the last of the font's keys, which are written one by one.
    sandbox.ExpectIni(L"FontHeight=4294967283 Family=49");

    // Moved to a monitor of 192 DPI: the suggested rectangle and the parts for it.
    SendDpiChanged(main, 192, {80, 60, 80 + 800, 60 + 600});
    ExpectRect(main, {80, 60, 80 + 800, 60 + 600});
    EXPECT_EQ(StatusPartEdges(bar), PartEdgesAt(192));
    tarnwick.CloseNormally();
    sandbox.ExpectIni(L"x=40 y=30 Width=400 Height=300");
}

} // namespace
