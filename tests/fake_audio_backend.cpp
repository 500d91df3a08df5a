#include "fake_audio_backend.hpp"

#include <string>

namespace fake_backend {

Answers answers;
std::vector<std::string> calls;

void reset() {
    answers = Answers{};
    calls.clear();
}

}  // namespace fake_backend

using fake_backend::answers;
using fake_backend::calls;

namespace {

std::string pointer_text(const void* pointer) {
    return pointer == nullptr ? "null" : "ptr";
}

}  // namespace

BOOL BASS_Init(int device, DWORD frequency, DWORD flags, void* window, const void* device_id) {
    calls.push_back("Init(" + std::to_string(device) + ", " + std::to_string(frequency) + ", " +
                    std::to_string(flags) + ", " + pointer_text(window) + ", " + pointer_text(device_id) + ")");
    return answers.init_result;
}

BOOL BASS_Free() {
    calls.push_back("Free()");
    return 1;
}

int BASS_ErrorGetCode() {
    calls.push_back("ErrorGetCode()");
    return answers.error_code;
}

HSTREAM BASS_StreamCreateFile(BOOL in_memory, const void* file, QWORD offset, QWORD length, DWORD flags) {
    calls.push_back("StreamCreateFile(" + std::to_string(in_memory) + ", " +
                    static_cast<const char*>(file) + ", " + std::to_string(offset) + ", " +
                    std::to_string(length) + ", " + std::to_string(flags) + ")");
    return answers.created_stream;
}

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) {
    calls.push_back("ChannelPlay(" + std::to_string(handle) + ", " + std::to_string(restart) + ")");
    return answers.play_result;
}

BOOL BASS_ChannelPause(DWORD handle) {
    calls.push_back("ChannelPause(" + std::to_string(handle) + ")");
    return 1;
}

BOOL BASS_ChannelSetAttributes(DWORD handle, int rate, int volume, int panning) {
    calls.push_back("ChannelSetAttributes(" + std::to_string(handle) + ", " + std::to_string(rate) + ", " +
                    std::to_string(volume) + ", " + std::to_string(panning) + ")");
    return 1;
}

BOOL BASS_ChannelGetAttributes(DWORD handle, DWORD* rate, DWORD* volume, int* panning) {
    calls.push_back("ChannelGetAttributes(" + std::to_string(handle) + ", " + pointer_text(rate) + ", " +
                    pointer_text(volume) + ", " + pointer_text(panning) + ")");
    if (answers.get_attributes_result == 0) {
        return 0;
    }
    if (rate != nullptr) {
        *rate = 44100;
    }
    if (volume != nullptr) {
        *volume = answers.volume;
    }
    if (panning != nullptr) {
        *panning = answers.panning;
    }
    return 1;
}

QWORD BASS_ChannelGetPosition(DWORD handle) {
    calls.push_back("ChannelGetPosition(" + std::to_string(handle) + ")");
    return answers.position_bytes;
}

float BASS_ChannelBytes2Seconds(DWORD handle, QWORD position) {
    calls.push_back("ChannelBytes2Seconds(" + std::to_string(handle) + ", " + std::to_string(position) + ")");
    return answers.seconds;
}

DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length) {
    calls.push_back("ChannelGetData(" + std::to_string(handle) + ", " + pointer_text(buffer) + ", " +
                    std::to_string(length) + ")");
    return 256 * sizeof(float);
}
