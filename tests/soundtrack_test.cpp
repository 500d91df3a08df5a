// The soundtrack as the show plays it: media/bixo.mp3 decoded by our own audio back-end on SDL's
// dummy driver, which needs no sound card. The file is made by tools/music/render.py.
#include "sound/audio_backend.hpp"
#include "test_system.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <thread>

using namespace std::chrono_literals;

namespace {

// Starts the back-end on the dummy driver and loads the soundtrack with an exact length scan;
// every test gets a fresh back-end and stops it again.
class Soundtrack : public testing::Test {
protected:
    void SetUp() override {
        test_system::set_environment("SDL_AUDIODRIVER", "dummy");
        ASSERT_TRUE(BASS_Init(1, 44100, 0, nullptr, nullptr)) << "error " << BASS_ErrorGetCode();
        stream = BASS_StreamCreateFile(0, BIXO_MUSIC_FILE, 0, 0, BASS_MP3_SETPOS);
        ASSERT_NE(stream, 0u) << BIXO_MUSIC_FILE << ": error " << BASS_ErrorGetCode();
    }

    void TearDown() override { BASS_Free(); }

    HSTREAM stream = 0;
};

// The show starts the music about 12 s in and over again about 70 s later, then needs about 65 s
// more to reach the end of the credits: the piece must outlast that, but not by much.
TEST_F(Soundtrack, LastsBetween100And130Seconds) {
    const QWORD bytes = BASS_ChannelGetLength(stream);
    ASSERT_NE(bytes, static_cast<QWORD>(-1)) << "error " << BASS_ErrorGetCode();
    const float seconds = BASS_ChannelBytes2Seconds(stream, bytes);
    EXPECT_GE(seconds, 100.0f);
    EXPECT_LE(seconds, 130.0f);
}

// Played for a moment, the opening shows up in the spectrum: a clear peak (the bass and the
// music box) and sound spread over several bins, not one stray value.
TEST_F(Soundtrack, IsAudibleFromTheStart) {
    ASSERT_TRUE(BASS_ChannelPlay(stream, 1)) << "error " << BASS_ErrorGetCode();

    std::array<float, 256> spectrum{};
    float loudest = 0.0f;
    long most_bins_sounding = 0;
    const auto deadline = std::chrono::steady_clock::now() + 3s;
    while (std::chrono::steady_clock::now() < deadline && (loudest < 0.03f || most_bins_sounding < 8)) {
        std::this_thread::sleep_for(50ms);
        ASSERT_EQ(BASS_ChannelGetData(stream, spectrum.data(), BASS_DATA_FFT512), sizeof spectrum);
        loudest = std::max(loudest, *std::max_element(spectrum.begin(), spectrum.end()));
        const long sounding = std::count_if(spectrum.begin(), spectrum.end(), [](float bin) { return bin > 0.005f; });
        most_bins_sounding = std::max(most_bins_sounding, sounding);
    }
    EXPECT_GT(loudest, 0.03f);
    EXPECT_GE(most_bins_sounding, 8);
}

}  // namespace
