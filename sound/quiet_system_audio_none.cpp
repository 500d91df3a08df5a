#include "sound/quiet_system_audio.hpp"

// No system sound library here writes to standard error.
void silence_system_audio_messages() {}
void restore_system_audio_messages() {}
