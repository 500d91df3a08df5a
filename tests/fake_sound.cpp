// A fake sound module that logs each call among the fake platform's events.
#include "fake_platform.hpp"
#include "sound/sound.hpp"

using fake_platform::Event;
using fake_platform::events;

std::uint32_t snd_stream1 = 0;

namespace {

void log_sound(std::string call) {
    events.push_back({Event::Kind::sound, std::move(call), {}});
}

}  // namespace

void sound_init() { log_sound("sound_init"); }
void sound_uninit() { log_sound("sound_uninit"); }
void sound_load(const char* file) { log_sound(std::string("sound_load ") + file); }
void sound_play() { log_sound("sound_play"); }
void sound_pause() { log_sound("sound_pause"); }
void sound_setVolume(std::int32_t) { log_sound("sound_setVolume"); }
std::uint32_t sound_getVolume() { return 0; }
void sound_setPanning(std::int32_t) { log_sound("sound_setPanning"); }
std::int32_t sound_getPanning() { return 0; }
float sound_getTime() { return 0.0f; }
void sound_getSyncData(float*) {}
