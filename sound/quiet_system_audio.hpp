// Keeping the system's own sound library off standard error. SDL's audio driver loads it, and on
// Linux the ALSA library prints several lines there when it finds no sound card. CMake builds
// quiet_system_audio_alsa.cpp on Linux, quiet_system_audio_none.cpp elsewhere.
#pragma once

// Call before SDL starts its audio subsystem: the library complains as soon as SDL looks.
void silence_system_audio_messages();
// Gives the library its own message handler back.
void restore_system_audio_messages();
