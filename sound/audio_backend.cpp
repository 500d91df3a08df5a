// The audio back-end over libmpg123, SDL2 and KissFFT. Our own quiet libmpg123 handle opens the
// file, checks it, scans it and decodes it, straight into the output format (the library
// resamples other rates and copies mono to both sides). SDL2 calls fill_output in its audio
// thread for each buffer of the device; it decodes the frames, applies our volume and panning,
// counts the music's frames and keeps the last 512 for the spectrum, which KissFFT takes in the
// caller's thread.
//
// The calls come from one thread. SDL's start-up and the device's close go to a thread of their
// own for a bounded time (platform::run_with_time_limit): a sound server that never answers would
// hold them for ever.
//
// The calls come from one thread. SDL runs the callback with the device's lock held, and the
// calls read or change what the callback uses (`output`) only under that lock: each call is atomic
// with respect to the callback, so a pause falls between two buffers and the position is exact.
#include "sound/audio_backend.hpp"

#include <SDL.h>
#include <kiss_fftr.h>
#include <mpg123.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <numbers>
#include <utility>

#include "platform/platform.hpp"
#include "sound/music_file.hpp"
#include "sound/quiet_system_audio.hpp"

namespace {

// ---- The output format ---------------------------------------------------------------------

constexpr int output_rate = 44100;
constexpr int output_channels = 2;
constexpr int frame_bytes = output_channels * 2;  // 16-bit stereo
// One callback: 23 ms. Closing the device waits out about three; smaller buffers would close sooner
// but wake the audio thread more often than the whole show's CPU budget allows.
constexpr Uint16 buffer_frames = 1024;
constexpr int fft_size = 512;
constexpr int spectrum_bins = fft_size / 2;

// How long a device may take to open and to close: far longer than any that answers needs.
constexpr auto open_limit = std::chrono::seconds(3);
constexpr auto close_limit = std::chrono::seconds(2);

// ---- The music: one file and the decoder that reads it -------------------------------------

struct Music {
    mpg123_handle* decoder = nullptr;
    int file = -1;
    QWORD length_bytes = 0;  // of the output stream: exact when scanned, else estimated
};

void close_music(Music& music) {
    if (music.decoder != nullptr) {
        mpg123_close(music.decoder);  // leaves the descriptor to us
        mpg123_delete(music.decoder);
    }
    if (music.file >= 0) {
        close_music_file(music.file);
    }
    music = Music{};
}

// A libmpg123 handle that prints nothing (junk before the first frame, a truncated file, resyncs
// over damaged data) and decodes every file to the output format.
mpg123_handle* new_decoder() {
    mpg123_handle* decoder = mpg123_new(nullptr, nullptr);
    if (decoder == nullptr) {
        return nullptr;
    }
    if (mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0) != MPG123_OK ||
        mpg123_format_none(decoder) != MPG123_OK ||
        mpg123_format(decoder, output_rate, MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK) {
        mpg123_delete(decoder);
        return nullptr;
    }
    return decoder;
}

// Finds the first frame of `music.file` and its length: BASS_OK or BASS_ERROR_FILE_FORMAT.
int start_decoding(Music& music, bool scan) {
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_open_fd(music.decoder, music.file) != MPG123_OK ||
        mpg123_getformat(music.decoder, &rate, &channels, &encoding) != MPG123_OK) {
        return BASS_ERROR_FILE_FORMAT;  // empty, or no MPEG frame within the resync limit
    }
    // The scan reads every frame header; the same handle then plays from the start.
    if (scan && (mpg123_scan(music.decoder) != MPG123_OK || mpg123_seek(music.decoder, 0, SEEK_SET) != 0)) {
        return BASS_ERROR_FILE_FORMAT;
    }
    // Counted in frames of the forced output format, resampling included.
    const auto frames = mpg123_length(music.decoder);
    if (frames < 0) {
        return BASS_ERROR_FILE_FORMAT;
    }
    music.length_bytes = static_cast<QWORD>(frames) * frame_bytes;
    return BASS_OK;
}

// Opens the file at `path` for playing; with `scan`, measures its exact length.
std::pair<Music, int> open_music(const char* path, bool scan) {
    const MusicFile file = open_music_file(path);
    if (file.problem == MusicFileProblem::cannot_read) {
        return {Music{}, BASS_ERROR_FILE_OPEN};
    }
    if (file.problem == MusicFileProblem::not_a_file) {
        return {Music{}, BASS_ERROR_FILE_FORMAT};
    }
    Music music{.decoder = new_decoder(), .file = file.descriptor};
    const int error = music.decoder == nullptr ? BASS_ERROR_UNKNOWN : start_decoding(music, scan);
    if (error != BASS_OK) {
        close_music(music);
    }
    return {music, error};
}

// ---- Shared with the audio callback --------------------------------------------------------

enum class Playback { stopped, playing, paused };

// Our gains are in hundredths of the volume times hundredths of each side's panning share.
constexpr int full_gain = 100 * 100;

struct Output {
    Music music;
    Playback playback = Playback::stopped;  // the callback stops it at the end of the music
    QWORD frames_played = 0;  // music frames handed out since the stream last started from 0
    int volume = 100;
    int panning = 0;
    std::array<std::int16_t, fft_size * output_channels> newest{};  // a ring of the last frames out
    int oldest_slot = 0;
};

Output output;

// Decodes up to `frames` frames into `samples` and returns how many came. The end of the music, or
// damage the decoder cannot get past, stops the stream.
int decode_music(std::int16_t* samples, int frames) {
    int decoded = 0;
    while (decoded < frames) {
        std::size_t bytes = 0;
        const int result = mpg123_read(output.music.decoder, samples + decoded * output_channels,
                                       static_cast<std::size_t>(frames - decoded) * frame_bytes, &bytes);
        decoded += static_cast<int>(bytes / frame_bytes);
        if (result == MPG123_NEW_FORMAT) {
            continue;  // only ever the one format we allow
        }
        if (result != MPG123_OK || bytes == 0) {
            output.playback = Playback::stopped;
            break;
        }
    }
    return decoded;
}

// The far side fades linearly to silence, the near side keeps full gain; integer arithmetic, so
// volume 100 at the centre hands out the decoded samples unchanged.
void apply_volume_and_panning(std::int16_t* samples, int frames) {
    const int left_gain = output.volume * (100 - std::max(output.panning, 0));
    const int right_gain = output.volume * (100 + std::min(output.panning, 0));
    for (int frame = 0; frame < frames; ++frame) {
        std::int16_t* left = samples + frame * output_channels;
        left[0] = static_cast<std::int16_t>(left[0] * left_gain / full_gain);
        left[1] = static_cast<std::int16_t>(left[1] * right_gain / full_gain);
    }
}

void keep_newest_frames(const std::int16_t* samples, int frames) {
    const int kept = std::min(frames, fft_size);
    const std::int16_t* first = samples + (frames - kept) * output_channels;
    for (int frame = 0; frame < kept; ++frame) {
        const auto slot = static_cast<std::size_t>(output.oldest_slot) * output_channels;
        output.newest[slot] = first[frame * output_channels];
        output.newest[slot + 1] = first[frame * output_channels + 1];
        output.oldest_slot = (output.oldest_slot + 1) % fft_size;
    }
}

// SDL's audio callback, in its audio thread with the device's lock held: music while the stream
// plays, silence otherwise (and after the music's last frame).
void SDLCALL fill_output(void*, Uint8* stream, int length) {
    auto* samples = reinterpret_cast<std::int16_t*>(stream);
    const int frames = length / frame_bytes;
    const int music_frames = output.playback == Playback::playing ? decode_music(samples, frames) : 0;
    std::fill(samples + music_frames * output_channels, samples + frames * output_channels, std::int16_t{0});
    apply_volume_and_panning(samples, music_frames);
    output.frames_played += static_cast<QWORD>(music_frames);
    keep_newest_frames(samples, frames);
}

// ---- The back-end's state ------------------------------------------------------------------

// SDL's side of the output: its audio subsystem and the open device.
struct SdlAudio {
    bool started = false;
    SDL_AudioDeviceID device = 0;
};

struct Backend {
    // What start-up has done, so shut-down undoes exactly that, in reverse.
    bool messages_silenced = false;
    SDL_LogOutputFunction previous_log_function = nullptr;
    void* previous_log_data = nullptr;
    kiss_fftr_cfg fft = nullptr;
    SdlAudio sdl;
    bool started = false;

    HSTREAM stream = 0;  // names output.music
};

Backend backend;
int last_error = BASS_OK;
HSTREAM last_stream_number = 0;  // handles are never reused, not even across shut-downs

// Holds the device's lock: the audio callback does not run meanwhile.
class DeviceLock {
public:
    DeviceLock() { SDL_LockAudioDevice(backend.sdl.device); }
    ~DeviceLock() { SDL_UnlockAudioDevice(backend.sdl.device); }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;
};

// Records `code` as the outcome of the current call and returns `result`.
template <typename Result>
Result finish(int code, Result result) {
    last_error = code;
    return result;
}

// BASS_OK when `handle` names the current stream, else the code that says why not.
int check_stream(DWORD handle) {
    if (!backend.started) {
        return BASS_ERROR_NOT_STARTED;
    }
    if (handle == 0 || handle != backend.stream) {
        return BASS_ERROR_HANDLE;
    }
    return BASS_OK;
}

// ---- Start-up and shut-down ----------------------------------------------------------------

extern "C" void SDLCALL ignore_sdl_log(void*, int, SDL_LogPriority, const char*) {}

// SDL calls that overran their limit and may still be running on their own thread. SDL is not
// called again until they have returned and been undone.
std::atomic<int> sdl_calls_overrunning = 0;

// Makes `calls` into SDL on a thread of their own for at most `limit`; false when they overran it,
// and then `undo` follows them whenever they return.
bool call_sdl_within(std::chrono::seconds limit, std::function<void()> calls, std::function<void()> undo) {
    ++sdl_calls_overrunning;  // counted before the thread starts, so undo's count-down always comes after
    // SDL keeps data for each thread that calls it; a thread it did not start must free its own.
    const bool in_time = platform::run_with_time_limit(
        [calls = std::move(calls)] {
            calls();
            SDL_TLSCleanup();
        },
        [undo = std::move(undo)] {
            undo();
            SDL_TLSCleanup();
            --sdl_calls_overrunning;
        },
        limit);
    if (in_time) {
        --sdl_calls_overrunning;
    }
    return in_time;
}

// Starts SDL's audio and opens the default device, paused; BASS_OK or BASS_ERROR_DEVICE.
int open_device(SdlAudio& audio) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");  // Ctrl-C and the other signals are the show's own
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return BASS_ERROR_DEVICE;  // no audio driver at all
    }
    audio.started = true;
    SDL_AudioSpec wanted{};
    wanted.freq = output_rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = output_channels;
    wanted.samples = buffer_frames;
    wanted.callback = fill_output;
    // No allowed changes: SDL converts for the device if it must, the callback always fills ours.
    audio.device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    return audio.device != 0 ? BASS_OK : BASS_ERROR_DEVICE;
}

void close_device(const SdlAudio& audio) {
    if (audio.device != 0) {
        SDL_CloseAudioDevice(audio.device);
    }
    if (audio.started) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);  // also ends the ALSA driver's hot-plug thread
    }
}

// Undoes whatever start-up did, in reverse order; safe after any partial start-up and twice.
void shut_down() {
    if (backend.sdl.device != 0) {
        // Paused first: SDL calls the callback no more, and the device gets silence while it closes.
        SDL_PauseAudioDevice(backend.sdl.device, 1);
    }
    if (backend.sdl.started) {
        const SdlAudio audio = std::exchange(backend.sdl, SdlAudio{});
        call_sdl_within(close_limit, [audio] { close_device(audio); }, [] {});
    }
    close_music(output.music);  // the callback is paused or gone: no lock needed
    output = Output{};
    backend.stream = 0;
    if (backend.fft != nullptr) {
        kiss_fftr_free(backend.fft);
        backend.fft = nullptr;
    }
    if (backend.messages_silenced) {
        SDL_LogSetOutputFunction(backend.previous_log_function, backend.previous_log_data);
        restore_system_audio_messages();
        backend.messages_silenced = false;
    }
    backend.started = false;
}

// Runs every step of start-up; on a failure returns its error code, leaving shut_down to undo.
int start_up() {
    // SDL's log carries the disk driver's "CRITICAL" lines; the system's library speaks on its own.
    SDL_LogGetOutputFunction(&backend.previous_log_function, &backend.previous_log_data);
    SDL_LogSetOutputFunction(ignore_sdl_log, nullptr);
    silence_system_audio_messages();
    backend.messages_silenced = true;

    if (mpg123_init() != MPG123_OK) {  // required before any handle by libmpg123 before 1.27
        return BASS_ERROR_UNKNOWN;
    }
    backend.fft = kiss_fftr_alloc(fft_size, 0, nullptr, nullptr);
    if (backend.fft == nullptr) {
        return BASS_ERROR_UNKNOWN;
    }
    // Shared with the thread that opens, which may outlive this call.
    auto opening = std::make_shared<std::pair<SdlAudio, int>>();
    const bool in_time = call_sdl_within(
        open_limit, [opening] { opening->second = open_device(opening->first); },
        [opening] { close_device(opening->first); });
    if (!in_time) {
        return BASS_ERROR_NO_ANSWER;
    }
    backend.sdl = opening->first;
    if (opening->second != BASS_OK) {
        return opening->second;
    }
    SDL_PauseAudioDevice(backend.sdl.device, 0);  // runs from now on: silence until a stream plays
    backend.started = true;
    return BASS_OK;
}

// ---- Spectrum ------------------------------------------------------------------------------

// The periodic Hann window: its samples sum to exactly fft_size / 2.
const std::array<float, fft_size>& hann_window() {
    static const std::array<float, fft_size> window = [] {
        std::array<float, fft_size> values{};
        for (int n = 0; n < fft_size; ++n) {
            values[static_cast<std::size_t>(n)] =
                0.5f * (1.0f - static_cast<float>(std::cos(2.0 * std::numbers::pi * n / fft_size)));
        }
        return values;
    }();
    return window;
}

}  // namespace

// ---- Start-up and shut-down ----------------------------------------------------------------

// The device always runs at 44100 Hz, 16-bit, stereo, whatever `frequency` asks.
BOOL BASS_Init(int device, DWORD, DWORD, void*, const void*) {
    if (backend.started) {
        return finish(BASS_ERROR_ALREADY, 0);
    }
    if (device != 1 && device != -1) {
        return finish(BASS_ERROR_DEVICE, 0);
    }
    if (sdl_calls_overrunning != 0) {
        return finish(BASS_ERROR_NO_ANSWER, 0);  // SDL is still busy with a device that did not answer
    }
    const int code = start_up();
    if (code != BASS_OK) {
        shut_down();
        return finish(code, 0);
    }
    return finish(BASS_OK, 1);
}

BOOL BASS_Free() {
    shut_down();
    return finish(BASS_OK, 1);
}

int BASS_ErrorGetCode() {
    return last_error;
}

// ---- Streams -------------------------------------------------------------------------------

HSTREAM BASS_StreamCreateFile(BOOL in_memory, const void* file, QWORD offset, QWORD length, DWORD flags) {
    if (!backend.started) {
        return finish(BASS_ERROR_NOT_STARTED, HSTREAM{0});
    }
    if (in_memory != 0 || file == nullptr || offset != 0 || length != 0 || (flags & ~BASS_MP3_SETPOS) != 0) {
        return finish(BASS_ERROR_ARGUMENT, HSTREAM{0});
    }
    // Opened and scanned outside the lock: the callback never sees the new handle until the swap.
    auto [music, error] = open_music(static_cast<const char*>(file), (flags & BASS_MP3_SETPOS) != 0);
    if (error != BASS_OK) {
        return finish(error, HSTREAM{0});
    }
    {
        DeviceLock lock;
        std::swap(output.music, music);
        output.playback = Playback::stopped;
        output.frames_played = 0;
        output.volume = 100;
        output.panning = 0;
    }
    close_music(music);  // the previous stream's
    last_stream_number = last_stream_number == ~HSTREAM{0} ? 1 : last_stream_number + 1;
    backend.stream = last_stream_number;
    return finish(BASS_OK, backend.stream);
}

QWORD BASS_ChannelGetLength(DWORD handle) {
    const int code = check_stream(handle);
    if (code != BASS_OK) {
        return finish(code, ~QWORD{0});
    }
    return finish(BASS_OK, output.music.length_bytes);
}

// ---- Playback ------------------------------------------------------------------------------

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) {
    const int code = check_stream(handle);
    if (code != BASS_OK) {
        return finish(code, 0);
    }
    DeviceLock lock;
    if (restart == 0 && output.playback != Playback::stopped) {
        output.playback = Playback::playing;  // resumes a pause; playing on changes nothing
        return finish(BASS_OK, 1);
    }
    // Under the lock, so that the callback after this one hands out the first frame. The seek
    // stays within the file's first frames: quick.
    if (mpg123_seek(output.music.decoder, 0, SEEK_SET) != 0) {
        output.playback = Playback::stopped;
        return finish(BASS_ERROR_UNKNOWN, 0);
    }
    output.frames_played = 0;
    output.playback = Playback::playing;
    return finish(BASS_OK, 1);
}

// The next buffer the callback fills is silence; the lock waits for at most one callback.
BOOL BASS_ChannelPause(DWORD handle) {
    const int code = check_stream(handle);
    if (code != BASS_OK) {
        return finish(code, 0);
    }
    DeviceLock lock;
    if (output.playback == Playback::playing) {
        output.playback = Playback::paused;
    }
    return finish(BASS_OK, 1);
}

// ---- Attributes ----------------------------------------------------------------------------

BOOL BASS_ChannelSetAttributes(DWORD handle, int rate, int volume, int panning) {
    const int code = check_stream(handle);
    if (code != BASS_OK) {
        return finish(code, 0);
    }
    const bool volume_ok = volume == BASS_KEEP_VOLUME || (volume >= 0 && volume <= 100);
    const bool panning_ok = panning == BASS_KEEP_PANNING || (panning >= -100 && panning <= 100);
    if (rate != BASS_KEEP_RATE || !volume_ok || !panning_ok) {
        return finish(BASS_ERROR_ARGUMENT, 0);
    }
    DeviceLock lock;
    if (volume != BASS_KEEP_VOLUME) {
        output.volume = volume;
    }
    if (panning != BASS_KEEP_PANNING) {
        output.panning = panning;
    }
    return finish(BASS_OK, 1);
}

// Volume and panning change only in this thread, so reading them needs no lock.
BOOL BASS_ChannelGetAttributes(DWORD handle, DWORD* rate, DWORD* volume, int* panning) {
    const int code = check_stream(handle);
    if (code != BASS_OK) {
        return finish(code, 0);
    }
    if (rate != nullptr) {
        *rate = output_rate;
    }
    if (volume != nullptr) {
        *volume = static_cast<DWORD>(output.volume);
    }
    if (panning != nullptr) {
        *panning = output.panning;
    }
    return finish(BASS_OK, 1);
}

// ---- Position ------------------------------------------------------------------------------

QWORD BASS_ChannelGetPosition(DWORD handle) {
    const int code = check_stream(handle);
    if (code != BASS_OK) {
        return finish(code, ~QWORD{0});
    }
    DeviceLock lock;
    return finish(BASS_OK, output.frames_played * frame_bytes);
}

float BASS_ChannelBytes2Seconds(DWORD handle, QWORD position) {
    const int code = check_stream(handle);
    if (code != BASS_OK) {
        return finish(code, -1.0f);
    }
    return finish(BASS_OK, static_cast<float>(static_cast<double>(position) / (output_rate * frame_bytes)));
}

// ---- Spectrum ------------------------------------------------------------------------------

// Left and right averaged, Hann window, magnitudes scaled by 2 * 2 / 512 (the window's coherent
// gain and the one-sided spectrum), so that a sine centred on a bin reads its amplitude.
DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length) {
    const int code = check_stream(handle);
    if (code != BASS_OK) {
        return finish(code, ~DWORD{0});
    }
    if (buffer == nullptr || length != BASS_DATA_FFT512) {
        return finish(BASS_ERROR_ARGUMENT, ~DWORD{0});
    }
    std::array<std::int16_t, fft_size * output_channels> frames{};
    {
        DeviceLock lock;  // held for a copy only: the audio thread waits on it
        const auto oldest = static_cast<std::ptrdiff_t>(output.oldest_slot) * output_channels;
        std::rotate_copy(output.newest.begin(), output.newest.begin() + oldest, output.newest.end(), frames.begin());
    }
    const std::array<float, fft_size>& window = hann_window();
    std::array<kiss_fft_scalar, fft_size> samples{};
    for (std::size_t n = 0; n < fft_size; ++n) {
        const float left = static_cast<float>(frames[2 * n]);
        const float right = static_cast<float>(frames[2 * n + 1]);
        samples[n] = (left + right) / (2.0f * 32768.0f) * window[n];
    }
    std::array<kiss_fft_cpx, spectrum_bins + 1> bins{};
    kiss_fftr(backend.fft, samples.data(), bins.data());
    auto* magnitudes = static_cast<float*>(buffer);
    for (std::size_t k = 0; k < spectrum_bins; ++k) {
        magnitudes[k] = 4.0f * std::hypot(bins[k].r, bins[k].i) / fft_size;
    }
    return finish(BASS_OK, static_cast<DWORD>(spectrum_bins * sizeof(float)));
}
