// The real program through the sound servers users have, each started by the test itself in a
// private directory with a null sink (see sound_server.hpp): PulseAudio through SDL's pulse
// driver, PipeWire through its pipewire driver, and servers that crash, freeze or never answer.
// Starting the servers here rather than in CI keeps the README's test command complete.
// Most runs are whole shows at real speed: two and a half minutes each.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bixo_in_terminal.hpp"
#include "joined_rows.hpp"
#include "recorded_audio.hpp"
#include "show/picture_rows.hpp"
#include "sound/audio_backend.hpp"
#include "sound_server.hpp"

namespace {

constexpr std::string_view title = "We proudly present: BIXO THE UNICORN \n\n\n\n\n\n";
constexpr std::string_view credits_end = "Music thanks to ToRvaX\n\n\n";
constexpr std::string_view prompt = "Press any key to continue . . . ";
constexpr double whole_show_limit = 240;   // seconds: the show lasts about 150
constexpr double sound_start_delay = 2.0;  // the music starts this long after the title

BixoInTerminal::Options through(const SoundServer& server, const char* driver) {
    return {.audio_driver = driver, .environment = server.client_environment()};
}

// What the sink's monitor recorded of a show heard until `heard_until` (seconds after its start):
// the music audible from its start, and started over where the unicycle has been drawn. The
// recording runs on the server's clock, so show times carry over once the music's start is found.
void expect_the_music_heard(const BixoInTerminal& bixo, const std::string& recording, double heard_until) {
    const std::vector<double> envelope = loudness_envelope(recording);
    const double first_play = bixo.time_of(title) + sound_start_delay;
    const double second_play = bixo.time_of(joined(pictures::unibike_rows));
    ASSERT_GT(second_play, first_play) << "the unicycle was not drawn";

    std::size_t music_start = 0;
    while (music_start < envelope.size() && envelope[music_start] < 0.01) {
        ++music_start;
    }
    const auto block_at = [&](double show_time) {
        return music_start + static_cast<std::size_t>((show_time - first_play) * blocks_per_second);
    };
    const std::size_t heard_end = block_at(heard_until);
    // The recorder's last moments may be lost with the server.
    ASSERT_GE(envelope.size() + 2 * blocks_per_second, heard_end) << "the recording stops early";

    const auto loud = std::count_if(envelope.begin() + long(music_start), envelope.begin() + long(std::min(heard_end, envelope.size())),
                                    [](double loudness) { return loudness > 0.02; });
    const auto first_40_s = std::count_if(envelope.begin() + long(music_start),
                                          envelope.begin() + long(std::min(block_at(first_play + 40), envelope.size())),
                                          [](double loudness) { return loudness > 0.02; });
    const double span = double(heard_end - music_start) / blocks_per_second;
    std::printf("audible music: %.1f s of %.1f s, %.1f s in the first 40 s\n", double(loud) / blocks_per_second, span,
                double(first_40_s) / blocks_per_second);
    EXPECT_GT(double(loud) / blocks_per_second, 0.8 * span) << "the music is not audible";

    // Stretches of the opening come again, sample for sample, where the show started the music
    // over. A server may drop a moment of the stream, so each is looked for on its own, within
    // 1.5 s of its place; the opening's bars repeat every 1.5 s, too little alike to be taken for it.
    const std::vector<double> left = left_channel(recording);
    const std::size_t music_start_frame = music_start * frames_per_block;
    const std::size_t restart_frame = music_start_frame + std::size_t((second_play - first_play) * frames_per_second);
    std::vector<double> offsets;
    for (int second = 1; second <= 8; ++second) {
        const std::size_t pattern = music_start_frame + std::size_t(second) * frames_per_second;
        const std::size_t expected = restart_frame + std::size_t(second) * frames_per_second;
        const std::size_t reach = frames_per_second * 3 / 2;
        const std::size_t found = find_again(left, pattern, 4096, expected - reach, expected + reach);
        if (found != std::string::npos) {
            offsets.push_back((double(found) - double(expected)) / frames_per_second);
        }
    }
    std::printf("music restart: %zu of 8 stretches of the opening found again, at", offsets.size());
    for (double offset : offsets) {
        std::printf(" %+.3f", offset);
    }
    std::printf(" s from the unicycle's end\n");
    ASSERT_GE(offsets.size(), 4u) << "the music did not start over after the unicycle";
    std::nth_element(offsets.begin(), offsets.begin() + long(offsets.size() / 2), offsets.end());
    EXPECT_NEAR(offsets[offsets.size() / 2], 0.0, 0.5) << "the music started over elsewhere than after the unicycle";
}

// Waits for the prompt, presses a key: the show ended normally with its terminal restored.
void expect_the_show_ends_normally(BixoInTerminal& bixo) {
    ASSERT_TRUE(bixo.record_until_text(prompt, whole_show_limit)) << "no prompt; the show so far:\n" << bixo.output;
    bixo.type("k");
    EXPECT_EQ(bixo.record_until_exit(bixo.now() + 5), 0);
    EXPECT_EQ(bixo.error_output(), "");
    EXPECT_TRUE(same_settings(bixo.settings_before, bixo.terminal_settings())) << "terminal settings not restored";
}

// The messages of a show whose sound did not start, with `code` for the start-up.
std::string sound_failure_messages(int code) {
    const std::string not_started = "BASS Error! Errorcode: " + std::to_string(BASS_ERROR_NOT_STARTED) + "\n";
    return "BASS error: Init error\nBASS Error! Errorcode: " + std::to_string(code) + "\n" +
           "BASS error: File not found?\n" + not_started + "BASS error: Can't play the stream\n" + not_started;
}

// Presses Ctrl-C and expects the program to end within a second with Ctrl-C's status and the
// terminal as it found it.
void expect_ctrl_c_ends_it_at_once(BixoInTerminal& bixo, const char* moment) {
    const double pressed_at = bixo.now();
    bixo.type("\x03");
    EXPECT_EQ(bixo.record_until_exit(pressed_at + 1), 130);
    std::printf("Ctrl-C to exit %s: %.1f ms\n", moment, (bixo.now() - pressed_at) * 1000);
    EXPECT_TRUE(same_settings(bixo.settings_before, bixo.terminal_settings()));
}

}  // namespace

TEST(PulseAudio, TheMusicIsHeardAndTheShowGoesOnWhenTheServerIsKilled) {
    SoundServer server(SoundServer::Kind::pulseaudio);
    ASSERT_EQ(server.problem, "");
    server.start_recording();
    BixoInTerminal bixo(through(server, "pulse"));
    ASSERT_TRUE(bixo.record_until_text("He took the bike", 150)) << bixo.output;
    const double killed_at = bixo.time_of(joined(pictures::unibike_rows)) + 14;
    bixo.record_until(killed_at);
    server.kill_server();

    expect_the_show_ends_normally(bixo);
    EXPECT_EQ(bixo.output.find("BASS"), std::string::npos) << "a sound message";
    expect_the_music_heard(bixo, server.recording(), killed_at);
}

TEST(PulseAudio, NoServerGivesTheMessagesOfNoSoundCard) {
    SoundServer nothing(SoundServer::Kind::none);
    BixoInTerminal bixo(through(nothing, "pulse"));
    ASSERT_TRUE(bixo.record_until_text("Meet our friend", 30)) << bixo.output;
    EXPECT_NE(bixo.output.find(std::string(title) + sound_failure_messages(BASS_ERROR_DEVICE) + "Meet our friend"),
              std::string::npos) << bixo.output;
    EXPECT_EQ(bixo.error_output(), "");
}

TEST(PulseAudio, AServerFrozenMidShowLetsTheShowReachItsPrompt) {
    SoundServer server(SoundServer::Kind::pulseaudio);
    ASSERT_EQ(server.problem, "");
    BixoInTerminal bixo(through(server, "pulse"));
    bixo.record_until(20);
    server.freeze_server();

    expect_the_show_ends_normally(bixo);
    // Releasing the device gives up after a bounded time.
    std::printf("prompt %.2f s after the credits\n", bixo.time_of(prompt) - bixo.time_of(credits_end));
    EXPECT_LT(bixo.time_of(prompt) - bixo.time_of(credits_end), 5.0);
}

TEST(PulseAudio, CtrlCWhileTheEndWaitsForAFrozenServerEndsAtOnce) {
    SoundServer server(SoundServer::Kind::pulseaudio);
    ASSERT_EQ(server.problem, "");
    BixoInTerminal bixo(through(server, "pulse"));
    bixo.record_until(20);
    server.freeze_server();
    ASSERT_TRUE(bixo.record_until_text(credits_end, whole_show_limit)) << bixo.output;
    bixo.record_until(bixo.now() + 0.5);

    expect_ctrl_c_ends_it_at_once(bixo, "while the end waits");
    EXPECT_EQ(bixo.output.find(prompt), std::string::npos) << "the end did not wait: Ctrl-C came too late to tell";
}

TEST(PipeWire, TheWholeShowIsHeardThroughItsOwnDriver) {
    SoundServer server(SoundServer::Kind::pipewire);
    ASSERT_EQ(server.problem, "");
    server.start_recording();
    BixoInTerminal bixo(through(server, "pipewire"));

    expect_the_show_ends_normally(bixo);
    EXPECT_EQ(bixo.output.find("BASS"), std::string::npos) << "a sound message";
    expect_the_music_heard(bixo, server.recording(), bixo.time_of(credits_end));
}

// Without its session manager PipeWire never starts a stream: opening the device never returns.
TEST(PipeWireWithoutSessionManager, TheShowGoesOnInSilenceWithTheStartUpMessage) {
    SoundServer server(SoundServer::Kind::pipewire_without_session_manager);
    ASSERT_EQ(server.problem, "");
    BixoInTerminal bixo(through(server, "pipewire"));

    expect_the_show_ends_normally(bixo);
    const std::string messages = sound_failure_messages(BASS_ERROR_NO_ANSWER);
    EXPECT_NE(bixo.output.find(std::string(title) + messages + "Meet our friend"), std::string::npos);
    std::printf("start-up message %.2f s after the title\n", bixo.time_of(messages) - bixo.time_of(title));
    EXPECT_LT(bixo.time_of(messages) - bixo.time_of(title), sound_start_delay + 5) << "start-up gave up late";
}

TEST(PipeWireWithoutSessionManager, CtrlCDuringTheStuckStartUpEndsAtOnce) {
    SoundServer server(SoundServer::Kind::pipewire_without_session_manager);
    ASSERT_EQ(server.problem, "");
    BixoInTerminal bixo(through(server, "pipewire"));
    ASSERT_TRUE(bixo.record_until_text(title, 30)) << bixo.output;
    bixo.record_until(bixo.time_of(title) + sound_start_delay + 1);  // the start-up waits

    expect_ctrl_c_ends_it_at_once(bixo, "during the start-up");
    EXPECT_EQ(bixo.output.find("Errorcode"), std::string::npos) << "the start-up had given up: Ctrl-C came too late to tell";
    EXPECT_EQ(bixo.error_output(), "");
}
