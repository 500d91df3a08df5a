// The sound module against a recording fake of the back-end: which calls it makes, with which
// arguments, and what it prints when the back-end refuses (through the platform's writer, here
// the fake platform's).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_audio_backend.hpp"
#include "fake_platform.hpp"
#include "sound/sound.hpp"

using Calls = std::vector<std::string>;

namespace {

class SoundModule : public testing::Test {
protected:
    void SetUp() override {
        fake_backend::reset();
        snd_stream1 = 7;
    }
};

// Runs `operation` and returns what it wrote to the console.
template <typename Operation>
std::string printed_by(Operation operation) {
    fake_platform::reset();
    operation();
    return fake_platform::output();
}

}  // namespace

// ---- Start-up, loading, playing: calls and reports -------------------------------------

TEST_F(SoundModule, InitOpensDeviceOneAt44100AndAsksForTheErrorCode) {
    EXPECT_EQ(printed_by(sound_init), "");
    EXPECT_EQ(fake_backend::calls, (Calls{"Init(1, 44100, 0, null, null)", "ErrorGetCode()"}));
}

TEST_F(SoundModule, FailedInitPrintsItsMessageThenTheCode) {
    fake_backend::answers.init_result = 0;
    fake_backend::answers.error_code = 3;
    EXPECT_EQ(printed_by(sound_init), "BASS error: Init error\nBASS Error! Errorcode: 3\n");
    // The code is asked for a second time to be printed.
    EXPECT_EQ(fake_backend::calls, (Calls{"Init(1, 44100, 0, null, null)", "ErrorGetCode()", "ErrorGetCode()"}));
}

TEST_F(SoundModule, LoadStoresTheHandleAndAsksForAPrescannedStream) {
    snd_stream1 = 0;
    fake_backend::answers.created_stream = 12;
    EXPECT_EQ(printed_by([] { sound_load("bixo.mp3"); }), "");
    EXPECT_EQ(snd_stream1, 12u);
    EXPECT_EQ(fake_backend::calls, (Calls{"StreamCreateFile(0, bixo.mp3, 0, 0, 131072)", "ErrorGetCode()"}));
}

TEST_F(SoundModule, FailedLoadClearsTheHandleAndPrintsTwoLines) {
    fake_backend::answers.created_stream = 0;
    fake_backend::answers.error_code = 4;
    EXPECT_EQ(printed_by([] { sound_load("missing.mp3"); }),
              "BASS error: File not found?\nBASS Error! Errorcode: 4\n");
    EXPECT_EQ(snd_stream1, 0u);
}

TEST_F(SoundModule, PlayRestartsTheStream) {
    EXPECT_EQ(printed_by(sound_play), "");
    EXPECT_EQ(fake_backend::calls, (Calls{"ChannelPlay(7, 1)", "ErrorGetCode()"}));
}

TEST_F(SoundModule, RefusedPlayPrintsItsMessageThenTheCode) {
    snd_stream1 = 0;
    fake_backend::answers.play_result = 0;
    fake_backend::answers.error_code = 6;
    EXPECT_EQ(printed_by(sound_play), "BASS error: Can't play the stream\nBASS Error! Errorcode: 6\n");
    EXPECT_EQ(fake_backend::calls.front(), "ChannelPlay(0, 1)");
}

TEST_F(SoundModule, CodeLineAloneWhenTheCallPassedButLeftACode) {
    fake_backend::answers.error_code = 8;
    EXPECT_EQ(printed_by(sound_init), "BASS Error! Errorcode: 8\n");
    EXPECT_EQ(printed_by([] { sound_load("bixo.mp3"); }), "BASS Error! Errorcode: 8\n");
    EXPECT_EQ(printed_by(sound_play), "BASS Error! Errorcode: 8\n");
}

TEST_F(SoundModule, UninitFreesTheBackEndAndKeepsTheHandle) {
    EXPECT_EQ(printed_by(sound_uninit), "");
    EXPECT_EQ(fake_backend::calls, (Calls{"Free()"}));
    EXPECT_EQ(snd_stream1, 7u);
}

TEST_F(SoundModule, QuietOperationsReportNothingEvenWithACodeSet) {
    fake_backend::answers.error_code = 6;
    fake_backend::answers.get_attributes_result = 0;
    const std::string printed = printed_by([] {
        float spectrum[256];
        sound_pause();
        sound_setVolume(50);
        sound_setPanning(0);
        sound_getVolume();
        sound_getPanning();
        sound_getTime();
        sound_getSyncData(spectrum);
    });
    EXPECT_EQ(printed, "");
    for (const std::string& call : fake_backend::calls) {
        EXPECT_NE(call, "ErrorGetCode()");
    }
}

// ---- Volume and panning: clamps and untouched attributes --------------------------------

TEST_F(SoundModule, VolumeIsClampedAndOnlyTheVolumeChanges) {
    sound_setVolume(-5);
    sound_setVolume(250);
    sound_setVolume(100);
    sound_setVolume(0);
    sound_setVolume(37);
    EXPECT_EQ(fake_backend::calls, (Calls{
                                       "ChannelSetAttributes(7, -1, 0, -101)",
                                       "ChannelSetAttributes(7, -1, 100, -101)",
                                       "ChannelSetAttributes(7, -1, 100, -101)",
                                       "ChannelSetAttributes(7, -1, 0, -101)",
                                       "ChannelSetAttributes(7, -1, 37, -101)",
                                   }));
}

TEST_F(SoundModule, PanningIsClampedAndOnlyThePanningChanges) {
    sound_setPanning(-300);
    sound_setPanning(101);
    sound_setPanning(-100);
    sound_setPanning(100);
    sound_setPanning(-1);
    EXPECT_EQ(fake_backend::calls, (Calls{
                                       "ChannelSetAttributes(7, -1, -1, -100)",
                                       "ChannelSetAttributes(7, -1, -1, 100)",
                                       "ChannelSetAttributes(7, -1, -1, -100)",
                                       "ChannelSetAttributes(7, -1, -1, 100)",
                                       "ChannelSetAttributes(7, -1, -1, -1)",
                                   }));
}

// ---- Getters ---------------------------------------------------------------------------

TEST_F(SoundModule, GettersAskForTheirOneAttribute) {
    EXPECT_EQ(sound_getVolume(), 42u);
    EXPECT_EQ(sound_getPanning(), -13);
    EXPECT_EQ(fake_backend::calls, (Calls{"ChannelGetAttributes(7, null, ptr, null)",
                                          "ChannelGetAttributes(7, null, null, ptr)"}));
}

TEST_F(SoundModule, GettersReturnZeroWhenRefused) {
    snd_stream1 = 0;
    fake_backend::answers.get_attributes_result = 0;
    EXPECT_EQ(sound_getVolume(), 0u);
    EXPECT_EQ(sound_getPanning(), 0);
}

TEST_F(SoundModule, TimeConvertsTheBytePositionToSeconds) {
    fake_backend::answers.position_bytes = 352800;
    fake_backend::answers.seconds = 2.0f;
    EXPECT_FLOAT_EQ(sound_getTime(), 2.0f);
    EXPECT_EQ(fake_backend::calls, (Calls{"ChannelGetPosition(7)", "ChannelBytes2Seconds(7, 352800)"}));
}

TEST_F(SoundModule, SyncDataAsksForA512PointSpectrumIntoTheCallersBuffer) {
    float spectrum[256];
    sound_getSyncData(spectrum);
    EXPECT_EQ(fake_backend::calls, (Calls{"ChannelGetData(7, ptr, 2147483648)"}));
}
