#include "sound/quiet_system_audio.hpp"

#include <alsa/asoundlib.h>

namespace {

extern "C" void ignore_alsa_message(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void silence_system_audio_messages() {
    snd_lib_error_set_handler(ignore_alsa_message);
}

void restore_system_audio_messages() {
    snd_lib_error_set_handler(nullptr);  // the library's default handler
}
