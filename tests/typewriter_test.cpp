// The typewriter, its schedule, the console's line breaking and leaving early, on the fake
// platform's virtual clock.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "fake_platform.hpp"
#include "show/console.hpp"
#include "show/schedule.hpp"
#include "show/session.hpp"
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
        on_early_end(nullptr);
    }
};

// What an early end undoes in these tests: a mark among the events.
void undo_for_the_test() {
    fake_platform::events.push_back({Event::Kind::sound, "undo", {}});
}

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

TEST_F(Typewriter, StopRequestRestoresTheTerminalThenUndoesThenEndsWithThatSignal) {
    on_early_end(undo_for_the_test);
    fake_platform::settings.stop_at_write = 3;
    fake_platform::settings.stop_signal = 15;
    try {
        prints("abcdef", fast_pace);
        FAIL() << "the show went on after a stop request";
    } catch (const fake_platform::ShowEnded& ended) {
        EXPECT_EQ(ended.signal, 15);
    }
    EXPECT_EQ(fake_platform::output(), "abc");
    const std::vector<Event>& events = fake_platform::events;
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[events.size() - 2].kind, Event::Kind::terminal_restored);
    EXPECT_EQ(events.back().text, "undo");
}

TEST_F(Typewriter, SignalInTheMiddleOfALongPauseEndsTheShowAtOnce) {
    fake_platform::settings.stop_at_time = fake_platform::start_time + seconds(3);
    EXPECT_THROW(pause_ms(10000), fake_platform::ShowEnded);
    EXPECT_EQ(elapsed(), seconds(3));
    EXPECT_EQ(count_events(Event::Kind::terminal_restored), 1u);
    EXPECT_EQ(count_events(Event::Kind::sound), 0u) << "nothing to undo was named";
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
    for (int columns : {0, 80, 100, 60}) {
        for (bool picture : {false, true}) {
            SetUp();
            fake_platform::settings.columns = columns;
            if (picture) {
                type_picture_row(row.c_str());
            } else {
                print_at_once(row.c_str());
            }
            console_finish_full_row();
            console_finish_full_row();  // a second call finds the line already finished
            print_at_once("x");
            // On 60 columns the terminal wrapped the story row itself, but not the clipped picture row.
            const bool console_breaks = columns > 80 || (columns == 60 && picture);
            const std::string shown_row = columns == 60 && picture ? std::string(60, '#') : row;
            const std::string expected = console_breaks ? shown_row + "\nx" : shown_row + "x";
            EXPECT_EQ(fake_platform::output(), expected) << columns << " columns, picture " << picture;
        }
    }
}

// ---- Narrow terminals -------------------------------------------------------------------

TEST_F(Typewriter, NarrowTerminalClipsPictureRowsKeepsTheirLinesAndEveryPause) {
    fake_platform::settings.columns = 60;
    const std::string full_row = std::string(50, 'a') + std::string(30, 'b');  // relies on the wrap
    const std::string short_row = std::string(40, 'c') + "\n";
    const std::string long_row = std::string(70, 'd') + "\n";
    const std::vector<std::string_view> rows = {full_row, full_row, short_row, long_row};

    type_rows(rows);

    EXPECT_EQ(fake_platform::output(), std::string(50, 'a') + std::string(10, 'b') + "\n" +  //
                                           std::string(50, 'a') + std::string(10, 'b') + "\n" +  //
                                           std::string(40, 'c') + "\n" + std::string(60, 'd') + "\n");
    // Every character, shown or not, keeps its 1 ms: the picture takes as long as on 80 columns.
    EXPECT_EQ(sleeps().size(), 80u + 80u + 41u + 71u);
    EXPECT_EQ(elapsed(), milliseconds(80 + 80 + 41 + 71));
}

TEST_F(Typewriter, ResizeTakesEffectFromTheNextRow) {
    fake_platform::settings.columns = 60;
    const std::string row = std::string(70, 'r') + "\n";
    type_picture_row(row.substr(0, 30).c_str());
    fake_platform::settings.columns = 50;  // narrower in the middle of the row
    type_picture_row(row.substr(30).c_str());
    type_picture_row(row.c_str());
    fake_platform::settings.columns = 120;
    type_picture_row(row.c_str());

    EXPECT_EQ(fake_platform::output(), std::string(60, 'r') + "\n" + std::string(50, 'r') + "\n" + row);
}
