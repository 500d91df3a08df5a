// The real program, end to end: `bixo` runs at real speed in a pseudo-terminal, with SDL's disk
// driver writing what it plays to a file. About two and a half minutes per run.
#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "show/picture_rows.hpp"
#include "sound/audio_backend.hpp"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::string_view prompt = "Press any key to continue . . . ";
constexpr double bytes_per_second = 44100.0 * 4;  // 16-bit stereo

std::string read_file(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

template <typename Rows>
std::string joined(const Rows& rows) {
    std::string text;
    for (std::string_view row : rows) {
        text += row;
    }
    return text;
}

struct ShowRecording {
    std::string output;               // what the terminal received, carriage returns dropped
    std::vector<double> arrived_at;   // seconds since start, for each byte of `output`
    int exit_status = -1;
    bool still_waiting_after_prompt = false;
    std::string error_output;
    std::string audio;                // what the disk driver wrote
    termios settings_before{};
    termios settings_after{};

    // Seconds after start at which `text` (searched from `from`) had fully arrived; -1 if never.
    double time_of(std::string_view text, std::size_t from = 0) const {
        const std::size_t at = output.find(text, from);
        return at == std::string::npos ? -1.0 : arrived_at[at + text.size() - 1];
    }
};

struct Setup {
    bool with_music = true;
    const char* audio_driver = "disk";
    unsigned short columns = 80;
};

// Runs bixo in a fresh directory inside a pseudo-terminal. Types '#' twenty seconds in, and one
// key half a second after the prompt appears.
ShowRecording run_bixo(const Setup& setup) {
    const fs::path directory = fs::temp_directory_path() / ("bixo-e2e-" + std::to_string(getpid()));
    fs::remove_all(directory);
    fs::create_directories(directory);
    if (setup.with_music) {
        fs::copy_file(BIXO_MUSIC_FILE, directory / "bixo.mp3");
    }

    ShowRecording run;
    winsize size{};
    size.ws_row = 50;
    size.ws_col = setup.columns;
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, &size);
    if (child == 0) {
        fs::current_path(directory);
        setenv("SDL_AUDIODRIVER", setup.audio_driver, 1);
        setenv("SDL_DISKAUDIOFILE", (directory / "audio.raw").c_str(), 1);
        freopen((directory / "stderr.txt").c_str(), "w", stderr);
        execl(BIXO_EXECUTABLE, "bixo", static_cast<char*>(nullptr));
        _exit(127);
    }
    tcgetattr(terminal, &run.settings_before);

    const auto started = Clock::now();
    auto seconds_since_start = [&] { return std::chrono::duration<double>(Clock::now() - started).count(); };
    bool typed_during_show = false;
    double prompt_seen_at = -1;
    bool key_sent = false;
    int status = 0;
    for (;;) {
        pollfd readable{terminal, POLLIN, 0};
        if (poll(&readable, 1, 20) > 0) {
            char buffer[4096];
            const ssize_t count = read(terminal, buffer, sizeof buffer);
            if (count <= 0) {
                break;  // the child closed the terminal
            }
            const double now = seconds_since_start();
            for (ssize_t i = 0; i < count; ++i) {
                if (buffer[i] != '\r') {
                    run.output += buffer[i];
                    run.arrived_at.push_back(now);
                }
            }
        }
        const double now = seconds_since_start();
        if (!typed_during_show && now > 20) {
            write(terminal, "#", 1);
            typed_during_show = true;
        }
        if (prompt_seen_at < 0 && run.output.find(prompt) != std::string::npos) {
            prompt_seen_at = now;
        }
        if (!key_sent && prompt_seen_at >= 0 && now > prompt_seen_at + 0.5) {
            run.still_waiting_after_prompt = waitpid(child, &status, WNOHANG) == 0;
            tcgetattr(terminal, &run.settings_after);  // not yet restored: the key wait's own settings
            write(terminal, "k", 1);
            key_sent = true;
        }
        if (waitpid(child, &status, WNOHANG) == child) {
            run.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (now > 240) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
    }
    tcgetattr(terminal, &run.settings_after);
    close(terminal);
    run.error_output = read_file(directory / "stderr.txt");
    run.audio = read_file(directory / "audio.raw");
    fs::remove_all(directory);
    return run;
}

bool same_settings(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag && a.c_lflag == b.c_lflag &&
           std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

// Loudness of the 16-bit samples in `audio` from byte `from`, over `length` bytes.
double rms(const std::string& audio, std::size_t from, std::size_t length) {
    double sum = 0;
    std::size_t count = 0;
    for (std::size_t at = from; at + 1 < from + length && at + 1 < audio.size(); at += 2) {
        std::int16_t sample;
        std::memcpy(&sample, audio.data() + at, 2);
        sum += double(sample) * sample;
        ++count;
    }
    return count == 0 ? 0 : std::sqrt(sum / count) / 32768.0;
}

}  // namespace

TEST(EndToEnd, TheWholeShowWithMusicInATerminal) {
    const ShowRecording run = run_bixo({});

    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(run.error_output, "");
    EXPECT_TRUE(run.still_waiting_after_prompt) << "a key typed during the show ended the final wait";
    EXPECT_TRUE(same_settings(run.settings_before, run.settings_after)) << "terminal settings not restored";
    EXPECT_EQ(run.output.find('#'), std::string::npos) << "a key typed during the show was echoed";

    // The texts in order, each picture in its place.
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
        const std::size_t at = run.output.find(text, from);
        ASSERT_NE(at, std::string::npos) << "missing, or out of order: " << text.substr(0, 60);
        from = at + text.size();
    }
    EXPECT_EQ(from, run.output.size()) << "nothing follows the key press";

    // The music plays: it starts with the story and starts over right after the unicycle.
    const double first_play = run.time_of("BIXO THE UNICORN \n\n\n\n\n\n") + 2.0;  // after the title's pause
    const double second_play = run.time_of(joined(pictures::unibike_rows));
    const double music_stopped = run.time_of("Music thanks to ToRvaX\n\n\n");
    ASSERT_GT(run.audio.size(), 176400u * 60) << "the disk driver recorded less than a minute";
    EXPECT_GT(rms(run.audio, 176400 * 5, 176400 * 10), 0.02) << "the music is not audible";

    // The start of the music, found again later, marks where it started over.
    std::size_t music_start = 0;
    while (music_start < run.audio.size() && rms(run.audio, music_start, 4096) < 0.01) {
        music_start += 4;
    }
    const std::string opening = run.audio.substr(music_start, 8192);
    const std::size_t restart = run.audio.find(opening, music_start + 176400 * 10);
    ASSERT_NE(restart, std::string::npos) << "the music never started over";
    const double restart_after_first = double(restart - music_start) / bytes_per_second;
    EXPECT_NEAR(restart_after_first, second_play - first_play, 1.5);

    // Output stops with the music: the recording ends about when the credits do.
    const double recorded = double(run.audio.size()) / bytes_per_second;
    EXPECT_NEAR(recorded, music_stopped - first_play, 2.0);
}

TEST(EndToEnd, NoMusicFileAndNoAudioDeviceOnAWideTerminal) {
    const ShowRecording run = run_bixo({.with_music = false, .audio_driver = "no-such-driver", .columns = 120});

    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(run.error_output, "");

    const std::string not_started = "BASS Error! Errorcode: " + std::to_string(BASS_ERROR_NOT_STARTED) + "\n";
    const std::string init_failed = "BASS error: Init error\nBASS Error! Errorcode: " + std::to_string(BASS_ERROR_DEVICE) + "\n";
    const std::string load_failed = "BASS error: File not found?\n" + not_started;
    const std::string play_failed = "BASS error: Can't play the stream\n" + not_started;
    const std::string after_title =
        "We proudly present: BIXO THE UNICORN \n\n\n\n\n\n" + init_failed + load_failed + play_failed + "Meet our friend";
    EXPECT_NE(run.output.find(after_title), std::string::npos);
    const std::string after_unicycle =
        std::string(pictures::unibike_rows.back()) + "\n" + play_failed + "He took the bike";
    EXPECT_NE(run.output.find(after_unicycle), std::string::npos);

    // On 120 columns the show breaks its lines after column 80 itself: each row on its own line.
    std::size_t line_start = 0;
    for (std::size_t at = run.output.find('\n'); at != std::string::npos; at = run.output.find('\n', line_start)) {
        EXPECT_LE(at - line_start, 80u) << run.output.substr(line_start, at - line_start);
        line_start = at + 1;
    }
    for (std::string_view row : pictures::horse2_rows) {
        EXPECT_NE(run.output.find("\n" + std::string(row) + "\n"), std::string::npos) << row;
    }
}
