// The audio back-end: one output device and one music stream.
//
// The sound module is written against this small C-style interface. Our implementation
// (audio_backend.cpp) decodes MP3 files with libmpg123, plays them through SDL2's audio callback
// and takes spectra with KissFFT; the tests link a recording fake in its place.
#pragma once

#include <cstdint>

#include "platform/system_types.hpp"

using BOOL = int;
using DWORD = platform::dword;  // on Windows the same type as <windows.h>'s DWORD
using QWORD = std::uint64_t;
using HSTREAM = DWORD;  // 0 means "no stream"

// Flags and special values understood by the calls below.
constexpr DWORD BASS_MP3_SETPOS = 0x20000;         // scan the whole file: exact length and positions
constexpr DWORD BASS_DATA_FFT512 = 0x80000000;     // ChannelGetData: 256 magnitudes of a 512-point FFT
constexpr int BASS_KEEP_RATE = -1;                 // ChannelSetAttributes: leave the sample rate
constexpr int BASS_KEEP_VOLUME = -1;               // ChannelSetAttributes: leave the volume
constexpr int BASS_KEEP_PANNING = -101;            // ChannelSetAttributes: leave the panning

// Error codes reported by BASS_ErrorGetCode for the most recent call.
constexpr int BASS_OK = 0;
constexpr int BASS_ERROR_NOT_STARTED = 1;    // the back-end has not been started (BASS_Init)
constexpr int BASS_ERROR_ALREADY = 2;        // BASS_Init while already started
constexpr int BASS_ERROR_DEVICE = 3;         // no such device, or it could not be opened
constexpr int BASS_ERROR_FILE_OPEN = 4;      // the file is missing or cannot be read
constexpr int BASS_ERROR_FILE_FORMAT = 5;    // no MP3 audio we can decode, or not a regular file
constexpr int BASS_ERROR_HANDLE = 6;         // 0 or a handle that names no stream
constexpr int BASS_ERROR_ARGUMENT = 7;       // an argument out of range, or an unsupported flag
constexpr int BASS_ERROR_UNKNOWN = 8;        // the audio library failed for another reason
constexpr int BASS_ERROR_NO_ANSWER = 9;      // the device (its sound server) did not answer in time

// Start-up and shut-down. Device 1 (and -1) is the system's default output device.
// Returns 0 when no output device can be opened; nothing is left running then. A device that
// does not answer within a few seconds counts as none (BASS_ERROR_NO_ANSWER); should it answer
// later, it is closed again unheard. A stop request while the device is awaited ends the
// program at once (see platform::run_with_time_limit).
BOOL BASS_Init(int device, DWORD frequency, DWORD flags, void* window, const void* device_id);
// Stops all output and releases the stream and the device. Harmless when not started. The
// output is silenced first: nothing sounds once it has begun, though closing the device waits
// out a few of its buffers, and gives up on a device that does not answer within a few seconds.
BOOL BASS_Free();
// The error code of the most recent call, BASS_OK after a success.
int BASS_ErrorGetCode();

// Makes `file` (a path, when `in_memory` is 0) the music stream; 0 on failure, when the
// previous stream stays. Each stream gets a fresh handle.
HSTREAM BASS_StreamCreateFile(BOOL in_memory, const void* file, QWORD offset, QWORD length, DWORD flags);
// The stream's length in bytes of the 44100 Hz, 16-bit stereo stream: exact when the stream was
// created with BASS_MP3_SETPOS, else estimated from the file's header. (QWORD)-1 on failure.
QWORD BASS_ChannelGetLength(DWORD handle);

// Playback. With `restart` set, play starts over from the beginning; without it, play resumes
// a paused stream and starts a stopped or ended one over. Pausing a stream that is not playing
// does nothing; a pause returns at once, and silences the output from the device's next buffer.
BOOL BASS_ChannelPlay(DWORD handle, BOOL restart);
BOOL BASS_ChannelPause(DWORD handle);

// Volume 0..100, panning -100..100; the KEEP values leave an attribute as it is.
// The sample rate cannot be changed: anything but BASS_KEEP_RATE is refused.
BOOL BASS_ChannelSetAttributes(DWORD handle, int rate, int volume, int panning);
// Any of the outputs may be null; on failure they are left untouched.
BOOL BASS_ChannelGetAttributes(DWORD handle, DWORD* rate, DWORD* volume, int* panning);

// Position in bytes of the 44100 Hz, 16-bit stereo output stream: the music's frames handed to the
// output device since the stream last started from the beginning, so it holds exactly during a
// pause, and ends at the length when that is exact. And its conversion to seconds.
QWORD BASS_ChannelGetPosition(DWORD handle);
float BASS_ChannelBytes2Seconds(DWORD handle, QWORD position);

// With BASS_DATA_FFT512: writes 256 float magnitudes of the sound now being output
// (after volume and panning; a full-scale sine reads close to 1.0). Returns the bytes written,
// or (DWORD)-1 on failure.
DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length);
