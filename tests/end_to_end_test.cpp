// The real program, end to end, at real speed in a pseudo-terminal: about two and a half
// minutes a run. SDL's disk driver records what is played.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "bixo_in_terminal.hpp"
#include "joined_rows.hpp"
#include "recorded_audio.hpp"
#include "show/picture_rows.hpp"
#include "sound/audio_backend.hpp"

namespace {

constexpr std::string_view prompt = "Press any key to continue . . . ";

}  // namespace

TEST(EndToEnd, TheWholeShowWithMusicInATerminal) {
    BixoInTerminal bixo({});
    bixo.record_until(20);
    bixo.type("#");  // a key typed during the show
    ASSERT_TRUE(bixo.record_until_text(prompt, 220)) << "no prompt; the show so far:\n" << bixo.output;
    bixo.record_until(bixo.now() + 0.5);
    EXPECT_TRUE(bixo.running()) << "a key typed during the show ended the final wait";
    bixo.type("k");
    EXPECT_EQ(bixo.record_until_exit(bixo.now() + 5), 0);

    EXPECT_EQ(bixo.error_output(), "");
    EXPECT_TRUE(same_settings(bixo.settings_before, bixo.terminal_settings())) << "terminal settings not restored";
    EXPECT_EQ(bixo.output.find('#'), std::string::npos) << "a key typed during the show was echoed";

    // The texts in order, each picture in its place, on 80 columns exactly the script's bytes.
    const std::vector<std::string> in_order = {
        "PRESS ALT + TAB FOR US PLEASE... \nMake life a bit easier bringing the screen closer to your eyes ^-^\n\n",
        "\n\n\n\n\n\n\n\n\n\n\nWe proudly present: BIXO THE UNICORN \n\n\n\n\n\n",
        "Meet our friend B I X O \n" + joined(pictures::horse1_rows) + "He is a M A G I C A L unicorn\n\n",
        "All of his friends are horses...\n\n",
        "He only had a unibike\n\n" + joined(pictures::unibike_rows) + "He took the bike and went to the secret place\n",
        "\"Hurray\", Bixo thought, but unfortunately, something terrible had happened\n",
        "Bixo now had an ENORMOUS unibrow\n" + joined(pictures::horse2_rows) + "But he didn't really care\n",
        " T H E   E N D \n\n\n",
        "\n\n\nMusic thanks to ToRvaX\n\n\n" + std::string(prompt) + "\n",
    };
    std::size_t from = 0;
    for (const std::string& text : in_order) {
        const std::size_t at = bixo.output.find(text, from);
        ASSERT_NE(at, std::string::npos) << "missing, or out of order: " << text.substr(0, 60);
        from = at + text.size();
    }
    EXPECT_EQ(from, bixo.output.size()) << "nothing follows the key press";

    // The music: audible, and started over right after the unicycle.
    const double first_play = bixo.time_of("BIXO THE UNICORN \n\n\n\n\n\n") + 2.0;  // after the title's pause
    const double second_play = bixo.time_of(joined(pictures::unibike_rows));
    const double music_stopped = bixo.time_of("Music thanks to ToRvaX\n\n\n");
    const std::string audio = bixo.audio();
    const std::vector<double> envelope = loudness_envelope(audio);
    ASSERT_GT(envelope.size(), 60u * blocks_per_second) << "the disk driver recorded less than a minute";

    std::size_t music_start = 0;
    while (music_start < envelope.size() && envelope[music_start] < 0.01) {
        ++music_start;
    }
    double louder_than_quiet = 0;
    for (std::size_t block = music_start; block < envelope.size(); ++block) {
        louder_than_quiet += envelope[block] > 0.02 ? 1 : 0;
    }
    EXPECT_GT(louder_than_quiet / double(envelope.size() - music_start), 0.8) << "the music is not audible";

    // The music's opening comes again, sample for sample (the decoder's first frame aside), where
    // the show started it over. The search starts 40 s into the music, past the sad opening
    // whose bars repeat, and takes a stretch from one second into the music.
    const std::vector<double> left = left_channel(audio);
    const std::size_t music_start_frame = music_start * frames_per_block;
    const std::size_t pattern = music_start_frame + frames_per_second;
    const std::size_t found = find_again(left, pattern, 4096, music_start_frame + 40 * frames_per_second);
    ASSERT_NE(found, std::string::npos) << "the music did not start over";

    // The driver's recording runs a little slower than the clock on a busy machine, so the restart
    // is placed by its share of the recording: right after the unicycle.
    const double recorded_share = double(found - pattern) / double(left.size() - music_start_frame);
    const double shown_share = (second_play - first_play) / (music_stopped - first_play);
    std::printf("music restart at %.3f of the recording, the unicycle's end at %.3f of the music's time\n",
                recorded_share, shown_share);
    EXPECT_NEAR(recorded_share, shown_share, 0.02) << "the music started over elsewhere than after the unicycle";

    // The recording ends when the music is stopped, after the credits.
    EXPECT_NEAR(double(envelope.size()) / blocks_per_second, music_stopped - first_play, 0.05 * (music_stopped - first_play));
}

TEST(EndToEnd, NoMusicNoAudioDeviceNoInputOnAWideTerminal) {
    BixoInTerminal bixo({.with_music = false, .audio_driver = "no-such-driver", .columns = 120, .input_closed = true});
    // With standard input closed, the final wait ends by itself.
    EXPECT_EQ(bixo.record_until_exit(220), 0);
    EXPECT_EQ(bixo.error_output(), "");

    const std::string not_started = "BASS Error! Errorcode: " + std::to_string(BASS_ERROR_NOT_STARTED) + "\n";
    const std::string init_failed = "BASS error: Init error\nBASS Error! Errorcode: " + std::to_string(BASS_ERROR_DEVICE) + "\n";
    const std::string load_failed = "BASS error: File not found?\n" + not_started;
    const std::string play_failed = "BASS error: Can't play the stream\n" + not_started;
    const std::string after_title =
        "We proudly present: BIXO THE UNICORN \n\n\n\n\n\n" + init_failed + load_failed + play_failed + "Meet our friend";
    EXPECT_NE(bixo.output.find(after_title), std::string::npos);
    const std::string after_unicycle = std::string(pictures::unibike_rows.back()) + "\n" + play_failed + "He took the bike";
    EXPECT_NE(bixo.output.find(after_unicycle), std::string::npos);

    // On 120 columns the show breaks its lines after column 80 itself: each row on its own line.
    std::size_t line_start = 0;
    for (std::size_t at = bixo.output.find('\n'); at != std::string::npos; at = bixo.output.find('\n', line_start)) {
        EXPECT_LE(at - line_start, 80u) << bixo.output.substr(line_start, at - line_start);
        line_start = at + 1;
    }
    for (std::string_view row : pictures::horse2_rows) {
        EXPECT_NE(bixo.output.find("\n" + std::string(row) + "\n"), std::string::npos) << row;
    }
}

TEST(EndToEnd, StoppedAndContinuedWhileTypingGoesOnWithoutABurst) {
    BixoInTerminal bixo({.audio_driver = "dummy"});
    ASSERT_TRUE(bixo.record_until_text("Meet our", 30));
    bixo.send_signal(SIGSTOP);
    bixo.record_until(bixo.now() + 2);
    const std::size_t typed_before = bixo.output.size();
    const double continued_at = bixo.now();
    bixo.send_signal(SIGCONT);
    bixo.record_until(continued_at + 1.0);

    // At the story pace (50 to 99 ms a character), one second holds at most 20 characters, plus
    // the one whose pause ran out while stopped. A schedule that rushed would type ~25 at once.
    const std::size_t typed_after = bixo.output.size() - typed_before;
    EXPECT_GE(typed_after, 8u);
    EXPECT_LE(typed_after, 21u);
    EXPECT_TRUE(bixo.running());
}

TEST(EndToEnd, CtrlCWhileTheMusicPlaysEndsAtOnceAndRestoresTheTerminal) {
    BixoInTerminal bixo({});
    ASSERT_TRUE(bixo.record_until_text("Meet our", 30));
    const double pressed_at = bixo.now();
    bixo.type("\x03");
    EXPECT_EQ(bixo.record_until_exit(pressed_at + 2), 130);
    std::printf("Ctrl-C to exit, with the music playing: %.1f ms\n", (bixo.now() - pressed_at) * 1000);
    EXPECT_EQ(bixo.error_output(), "");
    EXPECT_TRUE(same_settings(bixo.settings_before, bixo.terminal_settings()));
}

TEST(EndToEnd, OnSixtyColumnsThePictureKeepsItsRowsAndTheStoryIsWhole) {
    BixoInTerminal bixo({.audio_driver = "dummy", .columns = 60});
    ASSERT_TRUE(bixo.record_until_text("He is a M A G I C A L unicorn\n", 60)) << bixo.output;

    // Each row's left part on a line of its own, one after the other, the story around it whole.
    std::string expected = "Meet our friend B I X O \n";
    for (std::string_view row : pictures::horse1_rows) {
        expected += std::string(row.substr(0, 60)) + "\n";
    }
    expected += "He is a M A G I C A L unicorn\n";
    EXPECT_NE(bixo.output.find(expected), std::string::npos) << bixo.output;
}
