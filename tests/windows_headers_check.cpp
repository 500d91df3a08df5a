// Compiled into a Windows test program only: the audio back-end's interface and <windows.h> in
// one file. Names they share (BOOL, DWORD) must be the same types, or this file fails to build.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "sound/audio_backend.hpp"

static_assert(sizeof(DWORD) == 4, "the back-end's 32-bit values, such as FFT flags, need 32 bits");
