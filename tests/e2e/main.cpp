// The e2e test program: GoogleTest, plus a picture of the screen whenever a test fails.
#include "tests/e2e/driver.h"

#include <gtest/gtest.h>

namespace {

class ScreenshotOnFailure : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo& test) override {
        if (!test.result()->Failed()) {
            return;
        }
        const std::string file =
            Screenshot(std::string(test.test_suite_name()) + "." + test.name());
        if (!file.empty()) {
            std::printf("Screenshot of the failure: %s\n", file.c_str());
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new ScreenshotOnFailure);
    return RUN_ALL_TESTS();
}
