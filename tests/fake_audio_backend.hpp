// A recording fake of the audio back-end: every call is logged as text, and the results and
// error code it hands back are set by the test.
#pragma once

#include <string>
#include <vector>

#include "sound/audio_backend.hpp"

namespace fake_backend {

struct Answers {
    BOOL init_result = 1;
    HSTREAM created_stream = 7;
    BOOL play_result = 1;
    BOOL get_attributes_result = 1;  // when 0, the outputs are left untouched
    DWORD volume = 42;
    int panning = -13;
    QWORD position_bytes = 0;
    float seconds = 0.0f;
    int error_code = BASS_OK;  // what BASS_ErrorGetCode answers
};

extern Answers answers;
extern std::vector<std::string> calls;

// Forgets the calls and restores the default answers.
void reset();

}  // namespace fake_backend
