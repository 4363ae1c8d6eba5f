// Commands the window does not know: they stop a typing playback, or else close the window.
#include "app/commands.h"
#include "app/main_window.h"
#include "document/typing.h"
#include "tests/wine-unit/edit_window.h"

#include <gtest/gtest.h>

namespace {

TEST(UnknownCommand, StopsAPlaybackFirstAndClosesTheWindowNext) {
    EditWindow edit;
    const HWND window = MainWindow;
    TypingActive.store(1);
    RunCommand(900);
    EXPECT_EQ(TypingActive.load(), 0);
    EXPECT_TRUE(IsWindow(window)) << "a playback was running: the window stays";
    RunCommand(900);
    EXPECT_FALSE(IsWindow(window));
}

} // namespace
