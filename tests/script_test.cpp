// The whole show at full speed on the fake platform: every cue's bytes, pace and pause, the
// music calls between the right texts, and the show's length on the virtual clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

#include "fake_platform.hpp"
#include "joined_rows.hpp"
#include "show/banners.hpp"
#include "show/picture_rows.hpp"
#include "show/script.hpp"
#include "show/session.hpp"

using fake_platform::Clock;
using fake_platform::Event;
using std::chrono::milliseconds;

namespace {

// Walks the show's events from the first, checking them against what each cue must do.
// The first mismatch is kept in `problem` and stops the walk.
class ShowWalk {
public:
    std::string problem;
    std::vector<int> story_pauses_ms;
    std::vector<int> cue_pauses_ms;
    int story_characters = 0;
    int fast_characters = 0;

    void at_once(const std::string& text) {
        const Event* event = take(Event::Kind::write, "a write of \"" + text + "\"");
        if (event != nullptr && event->text != text) {
            fail("wrote \"" + event->text + "\" where \"" + text + "\" goes out at once");
        }
    }

    void typed(const std::string& text, bool story) {
        for (char character : text) {
            const Event* write = take(Event::Kind::write, "typing of \"" + text + "\"");
            if (write == nullptr) {
                return;
            }
            if (write->text != std::string(1, character)) {
                fail("typed \"" + write->text + "\" for '" + std::string(1, character) + "' of \"" + text + "\"");
                return;
            }
            const Event* sleep = take(Event::Kind::sleep, "the pause after a character");
            if (sleep == nullptr) {
                return;
            }
            const auto pause = std::chrono::duration_cast<milliseconds>(sleep->slept).count();
            if (story) {
                ++story_characters;
                story_pauses_ms.push_back(static_cast<int>(pause));
            } else {
                ++fast_characters;
                if (sleep->slept != milliseconds(1)) {
                    fail("fast pace paused " + std::to_string(pause) + " ms in \"" + text + "\"");
                }
            }
        }
    }

    void story(const std::string& text) { typed(text, true); }
    void fast(const std::string& text) { typed(text, false); }

    void pause(int pause_ms) {
        const Event* sleep = take(Event::Kind::sleep, "a pause of " + std::to_string(pause_ms) + " ms");
        if (sleep != nullptr && sleep->slept != milliseconds(pause_ms)) {
            fail("paused " + std::to_string(sleep->slept.count()) + " ns instead of " + std::to_string(pause_ms) + " ms");
        }
        cue_pauses_ms.push_back(pause_ms);
    }

    void sound(const std::string& call) {
        const Event* event = take(Event::Kind::sound, call);
        if (event != nullptr && event->text != call) {
            fail("called " + event->text + " instead of " + call);
        }
    }

    void key_wait() { take(Event::Kind::key_wait, "the key wait"); }

    void finished() {
        if (problem.empty() && next < fake_platform::events.size()) {
            fail("the show went on after its end");
        }
    }

private:
    std::size_t next = 0;

    void fail(const std::string& what) {
        if (problem.empty()) {
            problem = "event " + std::to_string(next) + ": " + what;
        }
    }

    const Event* take(Event::Kind kind, const std::string& expected) {
        if (!problem.empty()) {
            return nullptr;
        }
        if (next >= fake_platform::events.size()) {
            fail("the show ended before " + expected);
            return nullptr;
        }
        const Event& event = fake_platform::events[next++];
        if (event.kind != kind) {
            fail("expected " + expected + ", found another kind of event (\"" + event.text + "\")");
            return nullptr;
        }
        return &event;
    }
};

class Show : public testing::Test {
protected:
    std::time_t started_at = 0;
    std::time_t ended_at = 0;

    void run(int columns = 0, bool wraps_at_once = false) {
        fake_platform::reset();
        fake_platform::settings.columns = columns;
        fake_platform::settings.wraps_at_once = wraps_at_once;
        started_at = std::time(nullptr);
        run_show();
        ended_at = std::time(nullptr);
    }

    // The show as its cues describe it.
    static ShowWalk walk_the_show() {
        ShowWalk show;
        show.at_once("PRESS ALT + TAB FOR US PLEASE... \nMake life a bit easier bringing the screen closer to your eyes ^-^\n\n");
        show.pause(10000);
        show.at_once("\n\n\n\n\n\n\n\n\n\n\nWe proudly present: BIXO THE UNICORN \n\n\n\n\n\n");
        show.pause(2000);
        show.sound("sound_init");
        show.sound("sound_load bixo.mp3");
        show.sound("sound_play");
        show.story("Meet our friend");
        show.story(" B I X O ");
        show.pause(1000);
        show.at_once("\n");
        show.fast(joined(pictures::horse1_rows));
        show.pause(2000);
        show.story("He is a M A G I C A L unicorn\n\n");
        show.pause(1500);
        show.story("Yes. I know it's hard to believe, but it's true\n\n");
        show.pause(1000);
        show.story("He is unfortunately a very sad unicorn\n\n");
        show.pause(2000);
        show.story(" ='( \n\n");
        show.pause(1000);
        show.story("All of his friends are horses...\n\n");
        show.pause(1500);
        show.story("Bixo doesn't want his horn, because he doesn't want to stand out\n\n");
        show.pause(1500);
        show.story("But luck shines at Bixo. A little, bold and a bit fat guy from ZOBRI\ntells him about a great secret place\n");
        show.pause(1000);
        show.story("At this place he can get his horn removed\n");
        show.pause(1500);
        show.story("Bixo didn't have a car, since he chose to receive 50 extra hp\nand 5 more charisma-points at level 17 instead of a licence\n");
        show.pause(1500);
        show.story("He asked his neighbour Ivro to borrow his bike for the ride\n\n");
        show.pause(1000);
        show.story("He only had a unibike\n\n");
        show.fast(joined(pictures::unibike_rows));
        show.sound("sound_play");
        show.story("He took the bike and went to the secret place\n");
        show.pause(1000);
        show.story("He arrived and a level 60 priest said a few magic words and suddenly the horn was gone\n\n");
        show.story(" =') \n\n");
        show.pause(1000);
        show.story("\"Hurray\", Bixo thought, but unfortunately, something terrible had happened\n");
        show.pause(1000);
        show.story("The priest forgot to tell him about the side effects of cutting of the magical horn\n\n");
        show.pause(2000);
        show.story("Bixo now had an ENORMOUS unibrow\n");
        show.pause(1500);
        show.fast(joined(pictures::horse2_rows));
        show.pause(3500);
        show.story("But he didn't really care\n");
        show.pause(1000);
        show.story("All his friends thought he looked really cool\n");
        show.story("He was da BOMB\n\n");
        show.pause(1000);
        show.story("So he became very popular and lived happily ever after\n\n\n");
        show.pause(5000);
        show.story(" T H E   E N D \n\n\n");
        show.story("This was our first intro/demo/whatever, ever\n\n");
        show.story("xD\n\n");
        show.story("Code by: \n\n\n");
        show.fast(joined(banners::programmer_banner_rows));
        show.fast("\n\n\nGraphics by: \n\n\n");
        show.fast(joined(banners::artist_banner_rows));
        show.fast("\n\n\nMusic thanks to ToRvaX\n\n\n");
        show.sound("sound_uninit");
        show.key_wait();
        show.finished();
        return show;
    }
};

// What a console `columns` wide shows for `bytes`: its lines. A full line wraps when the next
// character comes (a terminal), or at once (the Windows console): then a line break that
// follows a full line leaves an empty line.
std::vector<std::string> console_lines(const std::string& bytes, std::size_t columns, bool wraps_at_once) {
    std::vector<std::string> lines(1);
    for (char character : bytes) {
        if (character == '\n') {
            lines.emplace_back();
            continue;
        }
        if (lines.back().size() == columns) {
            lines.emplace_back();
        }
        lines.back() += character;
        if (wraps_at_once && lines.back().size() == columns) {
            lines.emplace_back();
        }
    }
    return lines;
}

// Whether picture `rows` stand on consecutive `lines`, each row's left part on a line of its
// own, with all of the row that fits in `columns` but perhaps the last column.
template <typename Rows>
bool on_a_line_each(const std::vector<std::string>& lines, const Rows& rows, std::size_t columns) {
    for (std::size_t first = 0; first + rows.size() <= lines.size(); ++first) {
        bool all = true;
        for (std::size_t i = 0; i < rows.size() && all; ++i) {
            const std::string_view row = rows[i].substr(0, rows[i].find('\n'));
            const std::string& line = lines[first + i];
            all = row.starts_with(line) && line.size() >= std::min(row.size(), columns - 1);
        }
        if (all) {
            return true;
        }
    }
    return false;
}

// What the console types for picture `rows` on a terminal `columns` wide, narrower than 80:
// the left part of each row, on a line of its own.
template <typename Rows>
std::string clipped(const Rows& rows, std::size_t columns) {
    std::string text;
    for (std::string_view row : rows) {
        const std::string_view drawn = row.substr(0, row.find('\n'));
        text += std::string(drawn.substr(0, columns)) + "\n";
    }
    return text;
}

// `text` with the first `what` from `from` on replaced by `with`; the position after it in `from`.
void replace_once(std::string& text, const std::string& what, const std::string& with, std::size_t& from) {
    const std::size_t at = text.find(what, from);
    ASSERT_NE(at, std::string::npos) << what.substr(0, 80);
    text.replace(at, what.size(), with);
    from = at + with.size();
}

std::size_t count_sleeps_of(Clock::duration length) {
    std::size_t count = 0;
    for (const Event& event : fake_platform::events) {
        count += event.kind == Event::Kind::sleep && event.slept == length ? 1 : 0;
    }
    return count;
}

}  // namespace

TEST_F(Show, EveryCueInOrderWithItsBytesPaceAndPause) {
    run();
    const ShowWalk show = walk_the_show();
    EXPECT_EQ(show.problem, "");

    EXPECT_EQ(show.story_characters, 1164);
    EXPECT_EQ(show.fast_characters, 11468);
    EXPECT_EQ(show.cue_pauses_ms.size(), 23u);
    EXPECT_EQ(std::accumulate(show.cue_pauses_ms.begin(), show.cue_pauses_ms.end(), 0), 45500);
}

TEST_F(Show, StoryPausesComeFromTheGeneratorSeededWithTheTime) {
    run();
    const ShowWalk show = walk_the_show();
    ASSERT_EQ(show.problem, "");

    bool matches_a_seed = false;
    for (std::time_t seed = started_at; seed <= ended_at && !matches_a_seed; ++seed) {
        std::srand(static_cast<unsigned>(seed));
        matches_a_seed = true;
        for (int pause : show.story_pauses_ms) {
            matches_a_seed = matches_a_seed && pause == std::rand() % 50 + 50;
        }
    }
    EXPECT_TRUE(matches_a_seed);
}

TEST_F(Show, LastsExactlyItsPausesOnTheClock) {
    fake_platform::reset();
    run();
    const ShowWalk show = walk_the_show();
    ASSERT_EQ(show.problem, "");

    const int story_ms = std::accumulate(show.story_pauses_ms.begin(), show.story_pauses_ms.end(), 0);
    const auto nominal = milliseconds(45500 + story_ms + 11468);
    EXPECT_EQ(fake_platform::virtual_now - fake_platform::start_time, nominal);
}

TEST_F(Show, PicturesStandRowByRowOnEveryTerminalWidth) {
    run(80);
    const std::string exact = fake_platform::output();
    run(0);
    EXPECT_EQ(fake_platform::output(), exact) << "no terminal: the same bytes as on 80 columns";

    // On a wider terminal the show breaks the lines itself: it looks as it does on 80 columns.
    const std::vector<std::string> expected_lines = console_lines(exact, 80, false);
    for (int columns : {81, 120, 250}) {
        run(columns);
        std::vector<std::string> lines;
        std::string line;
        for (char character : fake_platform::output()) {
            if (character == '\n') {
                lines.push_back(line);
                line.clear();
            } else {
                line += character;
            }
        }
        lines.push_back(line);
        EXPECT_EQ(lines, expected_lines) << columns << " columns";
    }

    // Each picture row on a line of its own.
    const std::vector<std::string>& lines = expected_lines;
    for (std::string_view row : pictures::unibike_rows) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), std::string(row)), lines.end());
    }
}

// On a terminal, and on the Windows console, which leaves a full line at once: there a row
// keeps off the last column, or its line break would leave an empty line.
TEST_F(Show, OnANarrowTerminalPicturesKeepTheirRowsClippedAndTheStoryIsWhole) {
    run(80);
    const std::string exact = fake_platform::output();
    for (bool wraps_at_once : {false, true}) {
        for (std::size_t columns : {79, 60, 40}) {
            run(static_cast<int>(columns), wraps_at_once);
            const std::size_t room = wraps_at_once ? columns - 1 : columns;
            std::string expected = exact;
            std::size_t from = 0;
            replace_once(expected, joined(pictures::horse1_rows), clipped(pictures::horse1_rows, room), from);
            replace_once(expected, joined(pictures::unibike_rows), clipped(pictures::unibike_rows, room), from);
            replace_once(expected, joined(pictures::horse2_rows), clipped(pictures::horse2_rows, room), from);
            replace_once(expected, joined(banners::programmer_banner_rows), clipped(banners::programmer_banner_rows, room), from);
            replace_once(expected, joined(banners::artist_banner_rows), clipped(banners::artist_banner_rows, room), from);
            const std::string output = fake_platform::output();
            EXPECT_EQ(output, expected) << columns << " columns, wrapping at once: " << wraps_at_once;
            EXPECT_EQ(count_sleeps_of(milliseconds(1)), 11468u) << "every character typed at the fast pace keeps its pause";

            const std::vector<std::string> lines = console_lines(output, columns, wraps_at_once);
            EXPECT_TRUE(on_a_line_each(lines, pictures::horse1_rows, columns)) << columns << " columns, wrapping at once: " << wraps_at_once;
            EXPECT_TRUE(on_a_line_each(lines, pictures::unibike_rows, columns)) << columns << " columns, wrapping at once: " << wraps_at_once;
            EXPECT_TRUE(on_a_line_each(lines, pictures::horse2_rows, columns)) << columns << " columns, wrapping at once: " << wraps_at_once;
        }
    }
}

TEST_F(Show, AnEarlyEndRestoresTheTerminalThenPausesTheMusicAndLeavesTheDeviceOpen) {
    for (int seconds_in : {5, 20}) {  // in the first pause, before the music; then while it plays
        fake_platform::reset();
        on_early_end(nullptr);
        fake_platform::settings.stop_at_time = fake_platform::start_time + std::chrono::seconds(seconds_in);
        EXPECT_THROW(run_show(), fake_platform::ShowEnded);

        const std::vector<Event>& events = fake_platform::events;
        std::size_t sound_calls = 0;
        for (const Event& event : events) {
            sound_calls += event.kind == Event::Kind::sound ? 1 : 0;
            EXPECT_NE(event.text, "sound_uninit") << "closing the device would hold the end up";
        }
        ASSERT_GE(events.size(), 2u);
        if (seconds_in == 5) {
            EXPECT_EQ(sound_calls, 0u);
            EXPECT_EQ(events.back().kind, Event::Kind::terminal_restored);
        } else {
            EXPECT_EQ(events[events.size() - 2].kind, Event::Kind::terminal_restored);
            EXPECT_EQ(events.back().text, "sound_pause");
        }
    }
}
