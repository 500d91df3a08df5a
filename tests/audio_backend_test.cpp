// The real audio back-end, in-process, under SDL's test drivers: "dummy" plays at real-time pace
// and discards the sound, "disk" writes the raw 44100 Hz 16-bit stereo output to a file.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "sound/audio_backend.hpp"
#include "test_system.hpp"

namespace {

namespace fs = std::filesystem;

constexpr QWORD bytes_per_second = 44100 * 4;
constexpr QWORD two_seconds = 2 * bytes_per_second;
constexpr QWORD bad_position = ~QWORD{0};
constexpr DWORD bad_data = ~DWORD{0};

std::string fixture(const char* name) {
    return std::string(BIXO_FIXTURES) + "/" + name;
}

void wait_ms(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// Polls `done` until it holds or 10 s have passed; says whether it held.
template <typename Condition>
bool wait_until(Condition done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        wait_ms(10);
    }
    return true;
}

// The error code after a call that returned `result`; -1 when it did not return `failure`.
template <typename Result>
int failure_code(Result result, Result failure) {
    return result == failure ? BASS_ErrorGetCode() : -1;
}

// The largest sample on each side of a recording.
struct Peaks {
    int left = 0;
    int right = 0;
};

// Index and value of the largest of the 256 magnitudes.
std::pair<int, float> strongest_bin(const std::array<float, 256>& spectrum) {
    const auto peak = std::max_element(spectrum.begin(), spectrum.end());
    return {static_cast<int>(peak - spectrum.begin()), *peak};
}

// Each test starts with the back-end shut down, and leaves it so, with the driver choice cleared.
class BackendTest : public testing::Test {
protected:
    void SetUp() override {
        scratch = test_system::make_scratch_directory("bixo-backend-");
    }

    void TearDown() override {
        BASS_Free();
        for (const char* name : {"SDL_AUDIODRIVER", "SDL_DISKAUDIOFILE", "SDL_DISKAUDIODELAY"}) {
            test_system::unset_environment(name);
        }
        fs::remove_all(scratch);
    }

    // Starts the back-end on SDL's `driver`; on the disk driver, writing to `disk_file` in the
    // scratch folder, `delay_ms` per buffer (SDL's real-time pace when negative).
    bool start(const char* driver, const char* disk_file = "output.raw", int delay_ms = -1) {
        test_system::set_environment("SDL_AUDIODRIVER", driver);
        test_system::set_environment("SDL_DISKAUDIOFILE", (scratch / disk_file).string());
        if (delay_ms >= 0) {
            test_system::set_environment("SDL_DISKAUDIODELAY", std::to_string(delay_ms));
        }
        const bool started = BASS_Init(1, 44100, 0, nullptr, nullptr) == 1;
        EXPECT_TRUE(started) << driver << ": error " << BASS_ErrorGetCode();
        return started;
    }

    // Loads `name` from the fixtures, with the prescan flag.
    static HSTREAM load(const char* name) {
        const HSTREAM stream = BASS_StreamCreateFile(0, fixture(name).c_str(), 0, 0, BASS_MP3_SETPOS);
        EXPECT_NE(stream, 0u) << name << ": error " << BASS_ErrorGetCode();
        return stream;
    }

    // Plays `stream` from the start until its position reaches its length, for at most 3 s.
    static bool play_to_end(HSTREAM stream) {
        EXPECT_EQ(BASS_ChannelPlay(stream, 1), 1);
        for (int waited = 0; waited < 3000; waited += 20) {
            if (BASS_ChannelGetPosition(stream) == BASS_ChannelGetLength(stream)) {
                return true;
            }
            wait_ms(20);
        }
        return false;
    }

    // Plays the tone for a quarter of a second at `volume` and `panning` on the disk driver and
    // returns the largest sample written on each side.
    Peaks record_peaks(const char* name, int volume, int panning) {
        Peaks peaks;
        if (!start("disk", name)) {
            return peaks;
        }
        const HSTREAM stream = load("tone_1khz.mp3");
        EXPECT_EQ(BASS_ChannelSetAttributes(stream, BASS_KEEP_RATE, volume, panning), 1);
        EXPECT_EQ(BASS_ChannelPlay(stream, 1), 1);
        wait_ms(250);
        BASS_Free();
        const std::vector<std::int16_t> samples = read_recording(name);
        for (std::size_t i = 0; i + 1 < samples.size(); i += 2) {
            peaks.left = std::max(peaks.left, std::abs(static_cast<int>(samples[i])));
            peaks.right = std::max(peaks.right, std::abs(static_cast<int>(samples[i + 1])));
        }
        return peaks;
    }

    // The samples the disk driver wrote to `name`, left and right interleaved.
    std::vector<std::int16_t> read_recording(const char* name) const {
        std::ifstream file(scratch / name, std::ios::binary);
        std::vector<std::int16_t> samples(fs::file_size(scratch / name) / 2);
        file.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size() * 2));
        return samples;
    }

    fs::path scratch;
};

using BackendStartup = BackendTest;
using BackendStreams = BackendTest;
using BackendPlayback = BackendTest;
using BackendOutput = BackendTest;
using BackendSpectrum = BackendTest;

// ---- Start-up and shut-down ----------------------------------------------------------------

TEST_F(BackendStartup, CallsBeforeStartAndOtherDevicesAreRefused) {
    const std::string tone = fixture("tone_1khz.mp3");
    test_system::set_environment("SDL_AUDIODRIVER", "dummy");
    for (int device : {0, 2, -2}) {
        EXPECT_EQ(failure_code(BASS_Init(device, 44100, 0, nullptr, nullptr), 0), BASS_ERROR_DEVICE) << device;
    }
    EXPECT_EQ(failure_code(BASS_StreamCreateFile(0, tone.c_str(), 0, 0, 0), HSTREAM{0}), BASS_ERROR_NOT_STARTED);
    EXPECT_EQ(failure_code(BASS_ChannelGetPosition(1), bad_position), BASS_ERROR_NOT_STARTED);
    EXPECT_EQ(BASS_Init(-1, 44100, 0, nullptr, nullptr), 1);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
    EXPECT_EQ(failure_code(BASS_Init(1, 44100, 0, nullptr, nullptr), 0), BASS_ERROR_ALREADY);
    EXPECT_EQ(BASS_ChannelPlay(load("tone_1khz.mp3"), 1), 1);  // the first start goes on
}

// A driver that cannot start or cannot open: 0 with BASS_ERROR_DEVICE, nothing on stderr, no
// thread left behind; Free is harmless afterwards, twice, and a later start works. Without a
// sound card the ALSA driver fails too: the ALSA library would complain on stderr, and SDL would
// keep its hot-plug thread.
TEST_F(BackendStartup, DeviceThatCannotOpenFailsQuietlyAndLeavesNothingRunning) {
    const int threads_before = test_system::thread_count();
    test_system::set_environment("SDL_DISKAUDIOFILE", scratch.string());  // a folder: the disk driver cannot write it
    for (const std::string driver : {"alsa", "no-such-driver", "disk"}) {
        test_system::set_environment("SDL_AUDIODRIVER", driver);
        testing::internal::CaptureStderr();
        const int code = failure_code(BASS_Init(1, 44100, 0, nullptr, nullptr), 0);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << driver;
        if (driver == "alsa" && code == -1) {
            BASS_Free();
            continue;  // this machine has a sound card
        }
        EXPECT_EQ(code, BASS_ERROR_DEVICE) << driver;
        EXPECT_EQ(test_system::thread_count(), threads_before) << driver;
        EXPECT_EQ(BASS_Free(), 1);
        EXPECT_EQ(BASS_Free(), 1);
    }
    start("dummy");
}

TEST_F(BackendStartup, FreeStopsEverythingAndForgetsTheStream) {
    const int threads_before = test_system::thread_count();
    testing::internal::CaptureStderr();
    start("disk");  // the disk driver logs two CRITICAL lines through SDL's log
    const HSTREAM stream = load("tone_1khz.mp3");
    ASSERT_EQ(BASS_ChannelPlay(stream, 1), 1);
    EXPECT_GT(test_system::thread_count(), threads_before);
    EXPECT_EQ(BASS_Free(), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(test_system::thread_count(), threads_before);
    EXPECT_EQ(failure_code(BASS_ChannelPlay(stream, 1), 0), BASS_ERROR_NOT_STARTED);
    start("dummy");
    EXPECT_EQ(failure_code(BASS_ChannelPlay(stream, 1), 0), BASS_ERROR_HANDLE);
}

// Ctrl-C and SIGTERM are the show's to handle: SDL's start-up must not take them over, even where
// they still have their default action.
TEST_F(BackendStartup, StartUpLeavesTheStopSignalsAlone) {
    for (const int signal : {SIGINT, SIGTERM}) {
        std::signal(signal, SIG_DFL);
    }
    start("dummy");
    for (const int signal : {SIGINT, SIGTERM}) {
        EXPECT_EQ(std::signal(signal, SIG_DFL), SIG_DFL) << "signal " << signal;
    }
}

// ---- Streams -------------------------------------------------------------------------------

TEST_F(BackendStreams, BadFilesAreRefusedWithTheirCauseAndQuietly) {
    start("dummy");
    std::ofstream(scratch / "empty.mp3").close();
    std::ofstream random(scratch / "random.mp3", std::ios::binary);
    std::mt19937 generator(20240611);
    for (int i = 0; i < 8192; ++i) {
        random.put(static_cast<char>(generator() & 0xff));
    }
    random.close();
    fs::create_directory(scratch / "folder.mp3");
    const std::array<std::pair<const char*, int>, 4> cases{{
        {"missing.mp3", BASS_ERROR_FILE_OPEN},
        {"empty.mp3", BASS_ERROR_FILE_FORMAT},
        {"folder.mp3", BASS_ERROR_FILE_FORMAT},
        {"random.mp3", BASS_ERROR_FILE_FORMAT},
    }};
    for (const auto& [name, expected] : cases) {
        testing::internal::CaptureStderr();
        const HSTREAM stream = BASS_StreamCreateFile(0, (scratch / name).string().c_str(), 0, 0, BASS_MP3_SETPOS);
        EXPECT_EQ(failure_code(stream, HSTREAM{0}), expected) << name;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << name;
    }
    const std::string tone = fixture("tone_1khz.mp3");
    EXPECT_EQ(failure_code(BASS_StreamCreateFile(1, tone.c_str(), 0, 0, 0), HSTREAM{0}), BASS_ERROR_ARGUMENT);
    EXPECT_EQ(failure_code(BASS_StreamCreateFile(0, tone.c_str(), 417, 0, 0), HSTREAM{0}), BASS_ERROR_ARGUMENT);
    EXPECT_EQ(failure_code(BASS_StreamCreateFile(0, tone.c_str(), 0, 0, 1), HSTREAM{0}), BASS_ERROR_ARGUMENT);
    EXPECT_EQ(failure_code(BASS_StreamCreateFile(0, nullptr, 0, 0, 0), HSTREAM{0}), BASS_ERROR_ARGUMENT);
}

// The fixtures hold exactly two seconds; the 22050 Hz one is resampled to 44100 Hz. The
// truncated file's header still announces two seconds; the scan counts what is there.
TEST_F(BackendStreams, PrescanGivesExactLengths) {
    start("dummy");
    EXPECT_EQ(BASS_ChannelGetLength(load("tone_1khz.mp3")), two_seconds);
    EXPECT_EQ(BASS_ChannelGetLength(load("tone_1khz_22050.mp3")), two_seconds);
    EXPECT_FLOAT_EQ(BASS_ChannelBytes2Seconds(load("tone_1khz.mp3"), two_seconds), 2.0f);

    testing::internal::CaptureStderr();
    const std::string truncated = fixture("truncated.mp3");
    EXPECT_EQ(BASS_ChannelGetLength(BASS_StreamCreateFile(0, truncated.c_str(), 0, 0, 0)), two_seconds);
    const HSTREAM scanned = load("truncated.mp3");
    const float seconds = BASS_ChannelBytes2Seconds(scanned, BASS_ChannelGetLength(scanned));
    EXPECT_GT(seconds, 0.6f);  // 12000 of 33017 bytes: 28 of 78 frames
    EXPECT_LT(seconds, 0.75f);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(BackendStreams, NewStreamReplacesTheOldOneOnlyWhenItLoads) {
    start("dummy");
    const HSTREAM first = load("tone_1khz.mp3");
    const HSTREAM second = load("tone_1khz.mp3");
    EXPECT_NE(second, first);
    EXPECT_EQ(failure_code(BASS_ChannelPlay(first, 1), 0), BASS_ERROR_HANDLE);
    EXPECT_EQ(BASS_StreamCreateFile(0, (scratch / "missing.mp3").string().c_str(), 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ChannelPlay(second, 1), 1);
}

TEST_F(BackendStreams, BadHandlesAreRefusedAndOutputsLeftUntouched) {
    start("dummy");
    const HSTREAM stream = load("tone_1khz.mp3");
    float spectrum[256];
    for (DWORD handle : {DWORD{0}, stream + 1}) {
        EXPECT_EQ(failure_code(BASS_ChannelPlay(handle, 1), 0), BASS_ERROR_HANDLE);
        EXPECT_EQ(failure_code(BASS_ChannelSetAttributes(handle, BASS_KEEP_RATE, 50, 0), 0), BASS_ERROR_HANDLE);
        DWORD rate = 7;
        DWORD volume = 8;
        int panning = 9;
        EXPECT_EQ(failure_code(BASS_ChannelGetAttributes(handle, &rate, &volume, &panning), 0), BASS_ERROR_HANDLE);
        EXPECT_EQ(rate, 7u);
        EXPECT_EQ(volume, 8u);
        EXPECT_EQ(panning, 9);
        EXPECT_EQ(failure_code(BASS_ChannelGetPosition(handle), bad_position), BASS_ERROR_HANDLE);
        EXPECT_EQ(failure_code(BASS_ChannelBytes2Seconds(handle, 0), -1.0f), BASS_ERROR_HANDLE);
        EXPECT_EQ(failure_code(BASS_ChannelGetData(handle, spectrum, BASS_DATA_FFT512), bad_data), BASS_ERROR_HANDLE);
    }
}

TEST_F(BackendStreams, AttributesKeepWhatIsAskedAndRefuseWhatIsOutOfRange) {
    start("dummy");
    const HSTREAM stream = load("tone_1khz.mp3");
    ASSERT_EQ(BASS_ChannelSetAttributes(stream, BASS_KEEP_RATE, 40, BASS_KEEP_PANNING), 1);
    ASSERT_EQ(BASS_ChannelSetAttributes(stream, BASS_KEEP_RATE, BASS_KEEP_VOLUME, -30), 1);
    const std::array<std::array<int, 3>, 6> refused{{
        {44100, 50, 0}, {BASS_KEEP_RATE, 101, 0}, {BASS_KEEP_RATE, -2, 0},
        {BASS_KEEP_RATE, 50, 101}, {BASS_KEEP_RATE, 50, -102}, {BASS_KEEP_RATE, 50, 200},
    }};
    for (const auto& [rate, volume, panning] : refused) {
        EXPECT_EQ(failure_code(BASS_ChannelSetAttributes(stream, rate, volume, panning), 0), BASS_ERROR_ARGUMENT);
    }
    DWORD rate = 0;
    DWORD volume = 0;
    int panning = 0;
    ASSERT_EQ(BASS_ChannelGetAttributes(stream, &rate, &volume, &panning), 1);
    EXPECT_EQ(rate, 44100u);
    EXPECT_EQ(volume, 40u);
    EXPECT_EQ(panning, -30);
    EXPECT_EQ(BASS_ChannelGetAttributes(stream, nullptr, nullptr, nullptr), 1);
}

// ---- Playback ------------------------------------------------------------------------------

TEST_F(BackendPlayback, PositionAdvancesHoldsWhilePausedAndRestarts) {
    start("dummy");
    const HSTREAM stream = load("tone_1khz.mp3");
    EXPECT_EQ(BASS_ChannelGetPosition(stream), 0u);
    ASSERT_EQ(BASS_ChannelPlay(stream, 1), 1);
    wait_ms(300);
    ASSERT_EQ(BASS_ChannelPause(stream), 1);
    const QWORD paused = BASS_ChannelGetPosition(stream);
    EXPECT_GT(BASS_ChannelBytes2Seconds(stream, paused), 0.15f);
    EXPECT_LT(BASS_ChannelBytes2Seconds(stream, paused), 0.8f);
    wait_ms(150);
    EXPECT_EQ(BASS_ChannelPause(stream), 1);  // pausing again changes nothing
    EXPECT_EQ(BASS_ChannelGetPosition(stream), paused);

    ASSERT_EQ(BASS_ChannelPlay(stream, 0), 1);  // resumes
    wait_ms(150);
    const QWORD resumed = BASS_ChannelGetPosition(stream);
    EXPECT_GT(resumed, paused);

    ASSERT_EQ(BASS_ChannelPlay(stream, 1), 1);  // starts over from a playing stream
    EXPECT_LT(BASS_ChannelBytes2Seconds(stream, BASS_ChannelGetPosition(stream)), 0.1f);
    wait_ms(150);
    ASSERT_EQ(BASS_ChannelPause(stream), 1);
    const QWORD restarted = BASS_ChannelGetPosition(stream);
    EXPECT_LT(restarted, resumed);
    EXPECT_GT(restarted, 0u);
    ASSERT_EQ(BASS_ChannelPlay(stream, 1), 1);  // and from a paused one
    EXPECT_LT(BASS_ChannelGetPosition(stream), restarted);
    wait_ms(100);
    EXPECT_GT(BASS_ChannelGetPosition(stream), 0u);  // it plays, not still paused
}

// The position counts the music's frames handed to the output, and a pause falls between two
// buffers: the recording holds exact zeros from there on, so the music in it spans the position.
TEST_F(BackendPlayback, PositionAtAPauseIsTheMusicHandedOut) {
    ASSERT_TRUE(start("disk", "paused.raw"));
    const HSTREAM stream = load("tone_1khz.mp3");
    ASSERT_EQ(BASS_ChannelPlay(stream, 1), 1);
    ASSERT_TRUE(wait_until([&] { return BASS_ChannelGetPosition(stream) >= bytes_per_second / 4; }));
    ASSERT_EQ(BASS_ChannelPause(stream), 1);
    const QWORD paused = BASS_ChannelGetPosition(stream);
    ASSERT_LT(paused, two_seconds);  // still within the music
    wait_ms(100);
    EXPECT_EQ(BASS_ChannelGetPosition(stream), paused);
    BASS_Free();

    const std::vector<std::int16_t> samples = read_recording("paused.raw");
    const auto sounding = [](std::int16_t sample) { return sample != 0; };
    const auto first = std::find_if(samples.begin(), samples.end(), sounding) - samples.begin();
    const auto last = std::find_if(samples.rbegin(), samples.rend(), sounding).base() - samples.begin() - 1;
    ASSERT_LT(first, last);
    const auto music_frames = static_cast<long>(last / 2 - first / 2 + 1);
    EXPECT_NEAR(music_frames, static_cast<long>(paused / 4), 2);
}

// The truncated file plays what it holds, to its scanned end, and a play starts it over; the
// damaged one (zeros over its middle) makes the decoder resync in the audio thread. Neither may
// print a word.
TEST_F(BackendPlayback, TruncatedAndDamagedFilesPlayToTheirEndQuietly) {
    testing::internal::CaptureStderr();
    start("disk", "output.raw", 2);  // about ten times faster than real time
    const HSTREAM truncated = load("truncated.mp3");
    EXPECT_TRUE(play_to_end(truncated));
    wait_ms(50);
    EXPECT_EQ(BASS_ChannelGetPosition(truncated), BASS_ChannelGetLength(truncated));  // holds at the end
    ASSERT_EQ(BASS_ChannelPlay(truncated, 0), 1);
    EXPECT_LT(BASS_ChannelGetPosition(truncated), BASS_ChannelGetLength(truncated) / 2);

    const HSTREAM damaged = load("damaged.mp3");
    EXPECT_TRUE(play_to_end(damaged));
    EXPECT_GT(BASS_ChannelGetLength(damaged), bytes_per_second / 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// ---- What reaches the output ---------------------------------------------------------------

TEST_F(BackendOutput, PanningSilencesTheFarSide) {
    const Peaks centre = record_peaks("centre.raw", 100, 0);
    EXPECT_NEAR(centre.left, 16384, 1000);  // the tone is at half of full scale
    EXPECT_NEAR(centre.right, centre.left, 200);
    const Peaks right = record_peaks("right.raw", 100, 100);
    EXPECT_EQ(right.left, 0);
    EXPECT_NEAR(right.right, centre.right, 200);
    const Peaks left = record_peaks("left.raw", 100, -100);
    EXPECT_NEAR(left.left, centre.left, 200);
    EXPECT_EQ(left.right, 0);
}

TEST_F(BackendOutput, VolumeScalesBothSides) {
    const Peaks full = record_peaks("full.raw", 100, 0);
    ASSERT_GT(full.left, 10000);
    const Peaks half = record_peaks("half.raw", 50, 0);
    EXPECT_NEAR(half.left, full.left / 2, full.left / 20);
    EXPECT_NEAR(half.right, full.right / 2, full.right / 20);
    const Peaks silent = record_peaks("silent.raw", 0, 0);
    EXPECT_EQ(silent.left + silent.right, 0);
}

// The decoder resamples and copies one channel to both: the 22050 Hz mono tone sounds at 1 kHz,
// the same on both sides, for its two seconds.
TEST_F(BackendOutput, MonoFileAt22050HzPlaysAtTheRightSpeedAndLength) {
    ASSERT_TRUE(start("disk", "mono.raw"));
    const HSTREAM stream = load("tone_1khz_22050_mono.mp3");
    EXPECT_EQ(BASS_ChannelGetLength(stream), two_seconds);
    ASSERT_EQ(BASS_ChannelPlay(stream, 1), 1);
    ASSERT_TRUE(wait_until([&] { return BASS_ChannelGetPosition(stream) >= bytes_per_second / 2; }));
    std::array<float, 256> spectrum{};
    ASSERT_EQ(BASS_ChannelGetData(stream, spectrum.data(), BASS_DATA_FFT512), 1024u);
    const auto [bin, magnitude] = strongest_bin(spectrum);
    EXPECT_TRUE(bin == 11 || bin == 12) << bin;  // 1000 Hz / (44100 Hz / 512) = 11.6
    EXPECT_GT(magnitude, 0.35f);
    EXPECT_TRUE(wait_until([&] { return BASS_ChannelGetPosition(stream) == two_seconds; }));
    BASS_Free();

    const std::vector<std::int16_t> samples = read_recording("mono.raw");
    int loudest = 0;
    long unequal_frames = 0;
    for (std::size_t i = 0; i + 1 < samples.size(); i += 2) {
        loudest = std::max(loudest, std::abs(static_cast<int>(samples[i])));
        unequal_frames += samples[i] != samples[i + 1] ? 1 : 0;
    }
    EXPECT_NEAR(loudest, 16384, 1000);
    EXPECT_EQ(unequal_frames, 0);
}

// ---- Spectrum ------------------------------------------------------------------------------

TEST_F(BackendSpectrum, ToneOf1kHzPeaksAtItsBinAfterVolume) {
    start("dummy");
    const HSTREAM stream = load("tone_1khz.mp3");
    std::array<float, 256> spectrum{};
    EXPECT_EQ(failure_code(BASS_ChannelGetData(stream, spectrum.data(), 1024), bad_data), BASS_ERROR_ARGUMENT);
    EXPECT_EQ(failure_code(BASS_ChannelGetData(stream, nullptr, BASS_DATA_FFT512), bad_data), BASS_ERROR_ARGUMENT);
    ASSERT_EQ(BASS_ChannelPlay(stream, 1), 1);
    wait_ms(250);
    ASSERT_EQ(BASS_ChannelGetData(stream, spectrum.data(), BASS_DATA_FFT512), 1024u);
    const auto [bin, magnitude] = strongest_bin(spectrum);
    EXPECT_TRUE(bin == 11 || bin == 12) << bin;  // 1000 Hz / (44100 Hz / 512) = 11.6
    EXPECT_GT(magnitude, 0.35f);                 // a half-scale sine between two bins
    EXPECT_LT(magnitude, 0.55f);
    EXPECT_LT(spectrum[40], 0.01f);
    EXPECT_LT(spectrum[200], 0.01f);

    ASSERT_EQ(BASS_ChannelSetAttributes(stream, BASS_KEEP_RATE, 50, BASS_KEEP_PANNING), 1);
    wait_ms(150);
    ASSERT_EQ(BASS_ChannelGetData(stream, spectrum.data(), BASS_DATA_FFT512), 1024u);
    EXPECT_NEAR(strongest_bin(spectrum).second, magnitude / 2, magnitude / 10);

    ASSERT_EQ(BASS_ChannelPause(stream), 1);
    wait_ms(150);
    ASSERT_EQ(BASS_ChannelGetData(stream, spectrum.data(), BASS_DATA_FFT512), 1024u);
    EXPECT_EQ(strongest_bin(spectrum).second, 0.0f);  // paused: silence is output
}

}  // namespace
