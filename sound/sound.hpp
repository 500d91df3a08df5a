// The sound module: the show's one music stream.
//
// Failures are never returned: each is printed on standard output where it happens,
// and the show carries on without music.
#pragma once

#include <cstdint>

// The stream handle, 0 while no stream is loaded.
extern std::uint32_t snd_stream1;

// Start-up and shut-down of the audio back-end.
void sound_init();
void sound_uninit();

// Loads `file` as the music stream.
void sound_load(const char* file);

// Playback: play always starts from the beginning.
void sound_play();
void sound_pause();

// Volume 0..100 and panning -100..100; values outside are clamped. The getters return 0
// when there is no stream.
void sound_setVolume(std::int32_t volume);
std::uint32_t sound_getVolume();
void sound_setPanning(std::int32_t panning);
std::int32_t sound_getPanning();

// Playback position in seconds.
float sound_getTime();

// Spectrum of what is playing now: 256 magnitudes into `buffer`.
void sound_getSyncData(float* buffer);
