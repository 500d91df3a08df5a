// The real platform layer of this system (POSIX, or Windows under wine), in-process: its pauses
// on the real clock. Only lower bounds on time are checked: a loaded machine may wake late,
// never early.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "platform/platform.hpp"

namespace {

using namespace std::chrono_literals;
using platform::Clock;

// The show's own set-up around each test: on Windows that is where the pause timer is made.
class Pauses : public testing::Test {
protected:
    void SetUp() override { platform::begin_session(); }
    void TearDown() override { platform::end_session(); }
};

TEST_F(Pauses, NeverEndBeforeTheirDeadline) {
    for (const Clock::duration length : {Clock::duration(50us), Clock::duration(1ms), Clock::duration(2500us),
                                         Clock::duration(16ms), Clock::duration(40ms)}) {
        const Clock::time_point deadline = platform::now() + length;
        platform::sleep_until(deadline);
        EXPECT_GE(platform::now(), deadline) << std::chrono::duration<double, std::milli>(length).count() << " ms";
    }
}

// The fast pace's schedule: a deadline every millisecond, each one waited for.
TEST_F(Pauses, AScheduleOfOneMillisecondStepsWaitsForEveryStep) {
    const Clock::time_point start = platform::now();
    Clock::time_point deadline = start;
    for (int step = 1; step <= 200; ++step) {
        deadline += 1ms;
        platform::sleep_until(deadline);
        ASSERT_GE(platform::now(), deadline) << "step " << step;
    }
    EXPECT_GE(platform::now() - start, 200ms);
}

TEST_F(Pauses, ADeadlineAlreadyPastEndsThePauseWithoutAStopRequest) {
    platform::sleep_until(platform::now() - 1s);
    platform::sleep_until(platform::now());
    EXPECT_EQ(platform::stop_request(), 0);
}

// ---- Library calls that may never return ---------------------------------------------------

TEST_F(Pauses, WorkDoneInTimeIsWaitedForAndNeedsNoUndo) {
    std::atomic<bool> done = false;
    std::atomic<bool> undone = false;
    EXPECT_TRUE(platform::run_with_time_limit([&] { std::this_thread::sleep_for(20ms); done = true; },
                                              [&] { undone = true; }, 10s));
    EXPECT_TRUE(done);
    EXPECT_FALSE(undone);
}

// The caller gets on at the limit; the work, once it ends, is followed by its undo on its thread.
TEST_F(Pauses, WorkThatOverrunsIsLeftBehindAndUndoneWhenItEnds) {
    auto release = std::make_shared<std::atomic<bool>>(false);
    auto undone = std::make_shared<std::atomic<bool>>(false);
    const Clock::time_point start = platform::now();
    const auto wait_for_release = [release] {
        while (!*release) {
            std::this_thread::sleep_for(1ms);
        }
    };
    EXPECT_FALSE(platform::run_with_time_limit(wait_for_release, [undone] { *undone = true; }, 100ms));
    EXPECT_GE(platform::now() - start, 100ms);
    EXPECT_FALSE(*undone);
    *release = true;
    for (int waited = 0; waited < 5000 && !*undone; ++waited) {
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_TRUE(*undone);
}

}  // namespace
