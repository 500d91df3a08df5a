// The typewriter, its schedule, the console's line breaking and leaving early, on the fake
// platform's virtual clock.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "fake_platform.hpp"
#include "show/console.hpp"
#include "show/schedule.hpp"
#include "show/typewriter.hpp"

using fake_platform::Clock;
using fake_platform::Event;
using std::chrono::microseconds;
using std::chrono::milliseconds;
using std::chrono::seconds;

namespace {

class Typewriter : public testing::Test {
protected:
    void SetUp() override {
        fake_platform::reset();
        console_restart();
        schedule_restart();
    }
};

std::vector<Clock::duration> sleeps() {
    std::vector<Clock::duration> slept;
    for (const Event& event : fake_platform::events) {
        if (event.kind == Event::Kind::sleep) {
            slept.push_back(event.slept);
        }
    }
    return slept;
}

std::size_t count_events(Event::Kind kind) {
    std::size_t count = 0;
    for (const Event& event : fake_platform::events) {
        count += event.kind == kind ? 1 : 0;
    }
    return count;
}

Clock::duration elapsed() {
    return fake_platform::virtual_now - fake_platform::start_time;
}

}  // namespace

// ---- Paces ------------------------------------------------------------------------------

TEST_F(Typewriter, FastPaceWritesEachByteThenSleepsOneMillisecondAndDrawsNothing) {
    std::srand(5);
    const int first_draw = std::rand();
    std::srand(5);

    EXPECT_EQ(prints("a\nb", fast_pace), 3);

    const std::vector<Event>& events = fake_platform::events;
    ASSERT_EQ(events.size(), 6u);
    const char* expected_bytes[] = {"a", "\n", "b"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(events[2 * i].kind, Event::Kind::write);
        EXPECT_EQ(events[2 * i].text, expected_bytes[i]);  // one byte per write, line break included
        EXPECT_EQ(events[2 * i + 1].kind, Event::Kind::sleep);
        EXPECT_EQ(events[2 * i + 1].slept, milliseconds(1));
    }
    EXPECT_EQ(std::rand(), first_draw) << "the fast pace must not use the random generator";
}

TEST_F(Typewriter, StoryPaceDrawsAFreshPauseForEveryCharacter) {
    for (int pace : {story_pace, 1000, -7}) {
        SetUp();
        std::srand(42);
        std::vector<Clock::duration> expected;
        for (int i = 0; i < 40; ++i) {
            expected.push_back(milliseconds(std::rand() % 50 + 50));
        }
        std::srand(42);

        const std::string text(40, 'x');
        EXPECT_EQ(prints(text.c_str(), pace), 40);

        EXPECT_EQ(sleeps(), expected) << "pace " << pace;
        for (Clock::duration pause : sleeps()) {
            EXPECT_GE(pause, milliseconds(50));
            EXPECT_LE(pause, milliseconds(99));
        }
        EXPECT_EQ(fake_platform::output(), text);
    }
}

TEST_F(Typewriter, EmptyTextWritesNothingWaitsNothingDrawsNothing) {
    std::srand(9);
    const int first_draw = std::rand();
    std::srand(9);

    EXPECT_EQ(prints("", story_pace), 0);
    EXPECT_EQ(prints("", fast_pace), 0);

    EXPECT_TRUE(fake_platform::events.empty());
    EXPECT_EQ(std::rand(), first_draw);
}

TEST_F(Typewriter, AtOnceIsASingleWriteWithoutPause) {
    print_at_once("two\nlines\n");
    ASSERT_EQ(fake_platform::events.size(), 1u);
    EXPECT_EQ(fake_platform::events[0].text, "two\nlines\n");
}

// ---- The schedule -----------------------------------------------------------------------

TEST_F(Typewriter, SlowWritesAndLateWakeUpsDoNotAddUp) {
    fake_platform::settings.write_cost = microseconds(300);
    fake_platform::settings.sleep_overshoot = microseconds(80);
    const std::string text(2000, '.');

    prints(text.c_str(), fast_pace);

    // The show ends just after its last deadline, not 2000 x 380 us later.
    EXPECT_GE(elapsed(), milliseconds(2000));
    EXPECT_LE(elapsed(), milliseconds(2000) + microseconds(80));
    // Every pause was still slept, only shorter by what the write and the last wake-up took.
    const std::vector<Clock::duration> slept = sleeps();
    ASSERT_EQ(slept.size(), 2000u);
    EXPECT_EQ(slept[0], microseconds(700));
    EXPECT_EQ(slept[1999], microseconds(620));
}

TEST_F(Typewriter, ShortHiccupIsCaughtUp) {
    fake_platform::settings.stall_at_write = 10;
    fake_platform::settings.stall = milliseconds(stall_tolerance_ms - 20);
    const std::string text(100, '.');

    prints(text.c_str(), fast_pace);

    EXPECT_EQ(elapsed(), milliseconds(100));
}

TEST_F(Typewriter, AfterAStallTheScheduleRestartsInsteadOfRushing) {
    fake_platform::settings.stall_at_write = 10;  // output blocked, or the process stopped
    fake_platform::settings.stall = seconds(5);
    const std::string text(100, '.');

    prints(text.c_str(), fast_pace);

    // No character is rushed out: every one of the 100 is still followed by a real pause.
    const std::vector<Clock::duration> slept = sleeps();
    ASSERT_EQ(slept.size(), 99u);  // the pause after the stalled write had already passed
    for (Clock::duration pause : slept) {
        EXPECT_EQ(pause, milliseconds(1));
    }
    EXPECT_EQ(elapsed(), seconds(5) + milliseconds(99));
}

TEST_F(Typewriter, PausesAreMeasuredFromThePreviousDeadline) {
    fake_platform::settings.write_cost = milliseconds(3);
    print_at_once("x");
    pause_ms(1000);
    print_at_once("y");
    pause_ms(500);
    EXPECT_EQ(elapsed(), milliseconds(1500));
}

// ---- Leaving early ----------------------------------------------------------------------

TEST_F(Typewriter, StopRequestDuringTypingStopsTheMusicAndEndsWithThatSignal) {
    fake_platform::settings.stop_at_write = 3;
    fake_platform::settings.stop_signal = 15;
    try {
        prints("abcdef", fast_pace);
        FAIL() << "the show went on after a stop request";
    } catch (const fake_platform::ShowEnded& ended) {
        EXPECT_EQ(ended.signal, 15);
    }
    EXPECT_EQ(fake_platform::output(), "abc");
    EXPECT_EQ(fake_platform::events.back().text, "sound_uninit");
}

TEST_F(Typewriter, SignalInTheMiddleOfALongPauseEndsTheShowAtOnce) {
    fake_platform::settings.stop_at_time = fake_platform::start_time + seconds(3);
    EXPECT_THROW(pause_ms(10000), fake_platform::ShowEnded);
    EXPECT_EQ(elapsed(), seconds(3));
    EXPECT_EQ(count_events(Event::Kind::sound), 1u);
}

// ---- Wide terminals ---------------------------------------------------------------------

TEST_F(Typewriter, EightyColumnsAndNoTerminalGetTheBytesUnchanged) {
    const std::string long_line(200, '#');
    for (int columns : {0, 80}) {
        SetUp();
        fake_platform::settings.columns = columns;
        print_at_once(long_line.c_str());
        print_at_once("\n");
        EXPECT_EQ(fake_platform::output(), long_line + "\n") << columns << " columns";
    }
}

TEST_F(Typewriter, WideTerminalBreaksWhereAnEightyColumnConsoleWouldWrap) {
    fake_platform::settings.columns = 132;
    const std::string row(80, '#');
    const std::string label_row = std::string(80, 'o');

    prints((row + row).c_str(), fast_pace);   // two rows relying on the wrap
    prints((label_row + "\n").c_str(), fast_pace);  // a full row with its own line break
    prints("next", fast_pace);

    // Each row on its own line, and the row's own line break is not doubled.
    EXPECT_EQ(fake_platform::output(), row + "\n" + row + "\n" + label_row + "\nnext");
}

TEST_F(Typewriter, FinishingAFullRowOnlyWhereTheConsoleWouldWrap) {
    const std::string row(80, '#');
    for (int columns : {0, 80, 100}) {
        SetUp();
        fake_platform::settings.columns = columns;
        print_at_once(row.c_str());
        console_finish_full_row();
        console_finish_full_row();  // a second call finds the line already finished
        print_at_once("x");
        const std::string expected = columns > 80 ? row + "\nx" : row + "x";
        EXPECT_EQ(fake_platform::output(), expected) << columns << " columns";
    }
}
