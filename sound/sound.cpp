// The sound module: the show's music calls over the audio back-end.
//
// Each operation is one back-end call. Start-up, loading and playing report a failure on
// standard output, followed by the back-end's error code; the show goes on either way. The
// reports go through the platform's writer, like the show's own text: a full output cannot make
// the program deaf to Ctrl-C.
#include "sound/sound.hpp"

#include <cstdio>

#include "platform/platform.hpp"
#include "sound/audio_backend.hpp"

std::uint32_t snd_stream1 = 0;

namespace {

constexpr int default_output_device = 1;
constexpr DWORD output_rate_hz = 44100;

void report(const char* message) {
    platform::write_output(message);
}

// Prints the back-end's error code when its most recent call left one, even if the
// operation's own result looked fine.
void report_backend_error() {
    if (BASS_ErrorGetCode() != BASS_OK) {
        char line[48];
        std::snprintf(line, sizeof line, "BASS Error! Errorcode: %u\n", static_cast<unsigned>(BASS_ErrorGetCode()));
        report(line);
    }
}

}  // namespace

// ---- Start-up and shut-down --------------------------------------------------------------

void sound_init() {
    if (BASS_Init(default_output_device, output_rate_hz, 0, nullptr, nullptr) == 0) {
        report("BASS error: Init error\n");
    }
    report_backend_error();
}

// The back-end releases the stream with everything else; snd_stream1 keeps its value.
void sound_uninit() {
    BASS_Free();
}

// ---- The stream --------------------------------------------------------------------------

// A stream loaded earlier is not released here: the back-end replaces it.
void sound_load(const char* file) {
    snd_stream1 = BASS_StreamCreateFile(0, file, 0, 0, BASS_MP3_SETPOS);
    if (snd_stream1 == 0) {
        report("BASS error: File not found?\n");
    }
    report_backend_error();
}

// Always starts over from the beginning, whether the stream is loaded, paused or playing.
void sound_play() {
    if (BASS_ChannelPlay(snd_stream1, 1) == 0) {
        report("BASS error: Can't play the stream\n");
    }
    report_backend_error();
}

void sound_pause() {
    BASS_ChannelPause(snd_stream1);
}

// ---- Volume and panning ------------------------------------------------------------------

void sound_setVolume(std::int32_t volume) {
    if (volume < 0) {
        volume = 0;
    }
    if (volume > 100) {
        volume = 100;
    }
    BASS_ChannelSetAttributes(snd_stream1, BASS_KEEP_RATE, volume, BASS_KEEP_PANNING);
}

// 0 when the back-end refuses, since the local starts at 0.
std::uint32_t sound_getVolume() {
    DWORD volume = 0;
    BASS_ChannelGetAttributes(snd_stream1, nullptr, &volume, nullptr);
    return volume;
}

void sound_setPanning(std::int32_t panning) {
    if (panning > 100) {
        panning = 100;
    }
    if (panning < -100) {
        panning = -100;
    }
    BASS_ChannelSetAttributes(snd_stream1, BASS_KEEP_RATE, BASS_KEEP_VOLUME, panning);
}

// 0 when the back-end refuses, since the local starts at 0.
std::int32_t sound_getPanning() {
    int panning = 0;
    BASS_ChannelGetAttributes(snd_stream1, nullptr, nullptr, &panning);
    return panning;
}

// ---- Position and spectrum ---------------------------------------------------------------

float sound_getTime() {
    const QWORD position = BASS_ChannelGetPosition(snd_stream1);
    return BASS_ChannelBytes2Seconds(snd_stream1, position);
}

// `buffer` must have room for 256 floats.
void sound_getSyncData(float* buffer) {
    BASS_ChannelGetData(snd_stream1, buffer, BASS_DATA_FFT512);
}
