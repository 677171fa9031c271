#include "fake_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "install_run.h"

namespace {

// The fake's own promise, which every test of the run relies on: a run that would poll a manager
// forever ends in a failure once the fake has slept its limit, instead of hanging the suite.
TEST(FakePlatform, RunThatNeverEndsFailsInsteadOfHanging) {
    FakePlatform platform;
    platform.manager_exits = false;
    EXPECT_THROW(launcher::RunInstall(platform, u""), std::runtime_error);
    EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), "Sleep 1500"),
              FakePlatform::kSleepLimit + 1);
}

}  // namespace
