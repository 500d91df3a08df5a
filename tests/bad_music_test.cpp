// The whole show with the real sound module and audio back-end, on the fake clock, when the
// music file is bad or there is no sound card: the show runs to its end with exactly the
// sound module's messages among its text, and nothing on standard error.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "fake_platform.hpp"
#include "show/script.hpp"
#include "sound/audio_backend.hpp"
#include "test_system.hpp"

namespace fs = std::filesystem;
using fake_platform::Event;
using testing::internal::CaptureStderr;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStderr;
using testing::internal::GetCapturedStdout;

namespace {

std::string code_line(int code) {
    return "BASS Error! Errorcode: " + std::to_string(code) + "\n";
}

const std::string play_refused = "BASS error: Can't play the stream\n" + code_line(BASS_ERROR_HANDLE);

// The messages of a show whose music file could not be loaded for the reason `code`.
std::string load_failed_messages(int code) {
    return "BASS error: File not found?\n" + code_line(code) + play_refused + play_refused;
}

// The messages of a show whose back-end could not start for the reason `code`.
std::string start_failed_messages(int code) {
    const std::string not_started = code_line(BASS_ERROR_NOT_STARTED);
    const std::string play_refused_unstarted = "BASS error: Can't play the stream\n" + not_started;
    return "BASS error: Init error\n" + code_line(code) + "BASS error: File not found?\n" + not_started +
           play_refused_unstarted + play_refused_unstarted;
}

void write_file(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class BadMusic : public testing::Test {
protected:
    fs::path directory;
    fs::path previous_directory;
    std::string printed;  // the sound module's messages, in order
    std::string errors;

    void SetUp() override {
        previous_directory = fs::current_path();
        directory = test_system::make_scratch_directory("bixo-bad-music-");
        fs::current_path(directory);
        test_system::set_environment("SDL_AUDIODRIVER", "dummy");
    }

    void TearDown() override {
        fs::current_path(previous_directory);
        fs::remove_all(directory);
    }

    // Runs the whole show and keeps the sound module's messages and what went to standard error.
    // The messages go out through the console's writer, as the show's text does, never past it.
    void run_show_capturing(const fake_platform::Settings& settings = {}) {
        fake_platform::reset();
        fake_platform::settings = settings;
        CaptureStdout();
        CaptureStderr();
        run_show();
        EXPECT_EQ(GetCapturedStdout(), "");
        errors = GetCapturedStderr();
        printed.clear();
        for (const Event& event : fake_platform::events) {
            if (event.kind == Event::Kind::write && event.text.starts_with("BASS ")) {
                printed += event.text;
            }
        }
    }

    bool show_reached_its_end() const {
        return !fake_platform::events.empty() && fake_platform::events.back().kind == Event::Kind::key_wait &&
               fake_platform::output().find("Music thanks to ToRvaX") != std::string::npos;
    }
};

}  // namespace

TEST_F(BadMusic, MissingFile) {
    run_show_capturing();
    EXPECT_EQ(printed, load_failed_messages(BASS_ERROR_FILE_OPEN));
    EXPECT_EQ(errors, "");
    EXPECT_TRUE(show_reached_its_end());
}

TEST_F(BadMusic, FilesThatHoldNoMusic) {
    std::mt19937 generator(1234);
    std::string random_bytes(200000, '\0');
    for (char& byte : random_bytes) {
        byte = static_cast<char>(generator());
    }
    std::string large_text;
    while (large_text.size() < 8 * 1024 * 1024) {
        large_text += "This is not music, only a large text file with no sound in it at all.\n";
    }
    for (const auto& [what, bytes] : {std::pair{"empty", std::string()}, std::pair{"random bytes", random_bytes},
                                      std::pair{"large text", large_text}}) {
        write_file("bixo.mp3", bytes);
        run_show_capturing();
        EXPECT_EQ(printed, load_failed_messages(BASS_ERROR_FILE_FORMAT)) << what;
        EXPECT_EQ(errors, "") << what;
        EXPECT_TRUE(show_reached_its_end()) << what;
    }
}

TEST_F(BadMusic, DirectoryInsteadOfAFile) {
    fs::create_directory("bixo.mp3");
    run_show_capturing();
    EXPECT_EQ(printed, load_failed_messages(BASS_ERROR_FILE_FORMAT));
    EXPECT_EQ(errors, "");
    EXPECT_TRUE(show_reached_its_end());
}

TEST_F(BadMusic, TruncatedFilePlaysWhatItHoldsSilently) {
    std::ifstream music(BIXO_MUSIC_FILE, std::ios::binary);
    std::string first_part(150001, '\0');  // cut in the middle of a frame
    music.read(first_part.data(), static_cast<std::streamsize>(first_part.size()));
    write_file("bixo.mp3", first_part.substr(0, static_cast<std::size_t>(music.gcount())));
    run_show_capturing();
    EXPECT_EQ(printed, "");
    EXPECT_EQ(errors, "");
    EXPECT_TRUE(show_reached_its_end());
}

TEST_F(BadMusic, NoSoundCard) {
    fs::copy_file(BIXO_MUSIC_FILE, "bixo.mp3");
    test_system::set_environment("SDL_AUDIODRIVER", "no-such-driver");
    run_show_capturing();
    EXPECT_EQ(printed, start_failed_messages(BASS_ERROR_DEVICE));
    EXPECT_EQ(errors, "");
    EXPECT_TRUE(show_reached_its_end());
}

// A sound server that never answers: start-up gives up on it with a code of its own, and the show
// goes on in silence as with no sound card.
TEST_F(BadMusic, DeviceThatDoesNotAnswer) {
    fs::copy_file(BIXO_MUSIC_FILE, "bixo.mp3");
    fake_platform::Settings overrunning;
    overrunning.blocking_calls_overrun = true;
    run_show_capturing(overrunning);
    EXPECT_EQ(printed, start_failed_messages(BASS_ERROR_NO_ANSWER));
    EXPECT_EQ(errors, "");
    EXPECT_TRUE(show_reached_its_end());
}
