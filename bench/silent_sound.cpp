// The benchmarks type without music. The show's early exit (end_show_if_asked) stops the music
// before it ends the process; here there is none to stop.
#include "sound/sound.hpp"

void sound_uninit() {}
