// The audio back-end over SDL2 + SDL2_mixer: SDL_mixer opens the default output device, decodes
// the MP3 stream (with libmpg123), applies volume and panning and plays it; a post-mix hook keeps
// the last 512 output frames and counts the frames played, and KissFFT turns those frames into a
// spectrum in the caller's thread. Our own quiet libmpg123 handle checks each file before
// SDL_mixer sees it, which tells the causes of failure apart and gives exact lengths.
//
// Every call comes from one thread; SDL_mixer runs the post-mix hook and the music-finished hook
// in its audio thread. What those hooks touch lives in `capture`, under its mutex.
#include "sound/audio_backend.hpp"

#include <SDL.h>
#include <SDL_mixer.h>
#include <alsa/asoundlib.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <kiss_fftr.h>
#include <mpg123.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <mutex>
#include <numbers>

namespace {

// ---- The output format ---------------------------------------------------------------------

constexpr int output_rate = 44100;
constexpr int output_channels = 2;
constexpr int frame_bytes = output_channels * 2;  // 16-bit stereo
constexpr int chunk_frames = 1024;                // one mixer callback: 23 ms
constexpr int fft_size = 512;
constexpr int spectrum_bins = fft_size / 2;

// ---- Keeping the libraries quiet -----------------------------------------------------------
//
// Nothing may reach standard error. Three libraries would write there:
//   - the ALSA library, when it finds no sound card (silenced by an empty error handler);
//   - SDL, through its log ("CRITICAL" lines from the disk driver; silenced by an empty output
//     function, the previous one is put back at shut-down);
//   - libmpg123, from every handle that lacks MPG123_QUIET. It prints while a handle opens a
//     file (junk before the first frame, a one-frame stream, an Info header whose byte count
//     disagrees with a truncated file) and, later, in SDL's audio thread while the handle decodes
//     (resync notes for damaged data in the middle of a file). SDL_mixer creates its handles
//     without the flag and offers no way to set it, so mpg123_new below wraps the library's own
//     function: the dynamic linker binds SDL_mixer's call to this definition, and every handle
//     in the process is born quiet. (Debian's SDL_mixer links libmpg123 rather than loading it
//     at run time; a build that loaded it would bypass the wrapper, and the tests would say so.)

extern "C" {
static void ignore_alsa_error(const char*, int, const char*, int, const char*, ...) {}
static void SDLCALL ignore_sdl_log(void*, int, SDL_LogPriority, const char*) {}
}

}  // namespace

// Creates a libmpg123 handle through the library's own mpg123_new and sets MPG123_QUIET on it.
// Returns the handle, or null with `*error` set.
extern "C" mpg123_handle* mpg123_new(const char* decoder, int* error) {
    using create_function = mpg123_handle* (*)(const char*, int*);
    static const auto library_new = reinterpret_cast<create_function>(dlsym(RTLD_NEXT, "mpg123_new"));
    if (library_new == nullptr) {
        if (error != nullptr) {
            *error = MPG123_ERR;
        }
        return nullptr;
    }
    mpg123_handle* handle = library_new(decoder, error);
    if (handle != nullptr) {
        mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    }
    return handle;
}

namespace {

// ---- Shared with the audio thread ----------------------------------------------------------
//
// The position is the count of frames output while the music sounds. SDL_mixer does not share
// its audio lock, so a Mix_* call that starts, pauses or resumes the music and our change of
// `counting` are two steps. A callback already running when the Mix_* call is made ends before
// that call returns (it waits for the audio lock), so `counting` changes after the call returns;
// only a callback that starts in the instant between the two steps is miscounted, by at most
// one callback (23 ms).

struct Capture {
    std::mutex mutex;
    std::array<std::int16_t, fft_size * output_channels> ring{};  // the last 512 frames output
    int ring_next = 0;                                             // the oldest frame's slot
    QWORD frames_played = 0;  // frames output since the stream last started from the beginning
    bool counting = false;    // the music is sounding: count what is output
    bool ended = false;       // the music played to its end (or was halted)
};

Capture capture;

// The post-mix hook, in the audio thread: keeps the newest frames of the final mix (after volume
// and panning) and counts them while the music sounds. Calls no Mix_* function.
void SDLCALL capture_output(void*, Uint8* stream, int length) {
    const int frames = length / frame_bytes;
    const int kept = std::min(frames, fft_size);
    const Uint8* newest = stream + static_cast<std::size_t>(frames - kept) * frame_bytes;
    std::lock_guard lock(capture.mutex);
    auto* ring = reinterpret_cast<Uint8*>(capture.ring.data());
    const int first_part = std::min(kept, fft_size - capture.ring_next);
    std::memcpy(ring + static_cast<std::size_t>(capture.ring_next) * frame_bytes, newest,
                static_cast<std::size_t>(first_part) * frame_bytes);
    std::memcpy(ring, newest + static_cast<std::size_t>(first_part) * frame_bytes,
                static_cast<std::size_t>(kept - first_part) * frame_bytes);
    capture.ring_next = (capture.ring_next + kept) % fft_size;
    if (capture.counting) {
        capture.frames_played += static_cast<QWORD>(frames);
    }
}

// The music-finished hook: in the audio thread when the music ends, or inside Mix_HaltMusic.
// It runs before the post-mix hook of the same callback, so the silence after the end is not
// counted.
void SDLCALL on_music_finished() {
    std::lock_guard lock(capture.mutex);
    capture.counting = false;
    capture.ended = true;
}

// Forgets what was counted: a new stream, or a shut-down.
void reset_capture() {
    std::lock_guard lock(capture.mutex);
    capture.ring.fill(0);
    capture.ring_next = 0;
    capture.frames_played = 0;
    capture.counting = false;
    capture.ended = false;
}

// ---- The back-end's state ------------------------------------------------------------------

enum class Playback { stopped, playing, paused };

struct Backend {
    // What start-up has done, so shut-down undoes exactly that, in reverse.
    bool quiet_hooks_installed = false;
    SDL_LogOutputFunction previous_log_function = nullptr;
    void* previous_log_data = nullptr;
    kiss_fftr_cfg fft = nullptr;
    bool sdl_audio_started = false;
    bool mixer_started = false;
    bool device_open = false;
    bool mixer_hooks_set = false;
    bool started = false;

    // The one stream.
    Mix_Music* music = nullptr;
    HSTREAM stream = 0;
    QWORD length_bytes = 0;
    bool length_exact = false;  // scanned, not estimated from a header
    Playback playback = Playback::stopped;
    int volume = 100;
    int panning = 0;
};

Backend backend;
int last_error = BASS_OK;
HSTREAM last_stream_number = 0;  // handles are never reused, not even across shut-downs

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
    if (handle == 0 || backend.music == nullptr || handle != backend.stream) {
        return BASS_ERROR_HANDLE;
    }
    return BASS_OK;
}

// Notices that the music played to its end since the last call.
void note_music_end() {
    std::lock_guard lock(capture.mutex);
    if (backend.playback == Playback::playing && capture.ended) {
        backend.playback = Playback::stopped;
    }
}

// Our 0..100 volume as SDL_mixer's 0..128, rounded.
int mixer_volume(int volume) {
    return (volume * MIX_MAX_VOLUME + 50) / 100;
}

// Our -100..100 panning as the left and right gains (0..255) of SDL_mixer's panning effect:
// the far side fades out linearly, the near side stays at full gain. 255, 255 removes the effect.
bool apply_panning(int panning) {
    const int left = panning > 0 ? 255 * (100 - panning) / 100 : 255;
    const int right = panning < 0 ? 255 * (100 + panning) / 100 : 255;
    return Mix_SetPanning(MIX_CHANNEL_POST, static_cast<Uint8>(left), static_cast<Uint8>(right)) != 0;
}

// ---- Start-up and shut-down ----------------------------------------------------------------

// Undoes whatever start-up did, in reverse order; safe after any partial start-up and twice.
void shut_down() {
    if (backend.music != nullptr) {
        Mix_HaltMusic();
        Mix_FreeMusic(backend.music);
        backend.music = nullptr;
    }
    backend.stream = 0;
    backend.playback = Playback::stopped;
    if (backend.mixer_hooks_set) {
        Mix_HookMusicFinished(nullptr);
        Mix_SetPostMix(nullptr, nullptr);
        backend.mixer_hooks_set = false;
    }
    if (backend.device_open) {
        Mix_CloseAudio();
        backend.device_open = false;
    }
    if (backend.mixer_started) {
        Mix_Quit();
        backend.mixer_started = false;
    }
    if (backend.sdl_audio_started) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);  // also ends the ALSA driver's hot-plug thread
        backend.sdl_audio_started = false;
    }
    if (backend.fft != nullptr) {
        kiss_fftr_free(backend.fft);
        backend.fft = nullptr;
    }
    if (backend.quiet_hooks_installed) {
        SDL_LogSetOutputFunction(backend.previous_log_function, backend.previous_log_data);
        snd_lib_error_set_handler(nullptr);  // the library's default handler
        backend.quiet_hooks_installed = false;
    }
    backend.started = false;
    reset_capture();
}

// Runs every step of start-up; on a failure undoes what was done and returns its error code.
int start_up() {
    // Before SDL_Init: the ALSA driver loads the library, which complains as soon as it looks.
    SDL_LogGetOutputFunction(&backend.previous_log_function, &backend.previous_log_data);
    SDL_LogSetOutputFunction(ignore_sdl_log, nullptr);
    snd_lib_error_set_handler(ignore_alsa_error);
    backend.quiet_hooks_installed = true;

    backend.fft = kiss_fftr_alloc(fft_size, 0, nullptr, nullptr);
    if (backend.fft == nullptr) {
        return BASS_ERROR_UNKNOWN;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return BASS_ERROR_DEVICE;  // no audio driver at all
    }
    backend.sdl_audio_started = true;
    if ((Mix_Init(MIX_INIT_MP3) & MIX_INIT_MP3) == 0) {
        return BASS_ERROR_UNKNOWN;
    }
    backend.mixer_started = true;
    // No allowed changes: the post-mix hook is sure to see 44100 Hz, 16-bit, stereo.
    if (Mix_OpenAudioDevice(output_rate, AUDIO_S16SYS, output_channels, chunk_frames, nullptr, 0) != 0) {
        return BASS_ERROR_DEVICE;
    }
    backend.device_open = true;
    Mix_SetPostMix(capture_output, nullptr);
    Mix_HookMusicFinished(on_music_finished);
    backend.mixer_hooks_set = true;
    backend.started = true;
    return BASS_OK;
}

// ---- Checking a file with our own libmpg123 handle -----------------------------------------

struct FileCheck {
    int error = BASS_OK;
    QWORD length_bytes = 0;
    bool length_exact = false;
};

// Opens `path` with a quiet libmpg123 handle of our own and finds its first frame; with `scan`
// set, reads every frame header for an exact length. The PCM is never decoded into memory.
// Returns BASS_OK and the length in bytes of the 44100 Hz 16-bit stereo stream, or the error:
// BASS_ERROR_FILE_OPEN when the file cannot be opened, BASS_ERROR_FILE_FORMAT when it is not a
// regular file or holds no decodable MPEG audio.
FileCheck check_file(const char* path, bool scan) {
    FileCheck check;
    const int file = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);  // a FIFO must not block us
    if (file < 0) {
        check.error = BASS_ERROR_FILE_OPEN;
        return check;
    }
    struct stat status {};
    if (fstat(file, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(file);
        check.error = BASS_ERROR_FILE_FORMAT;
        return check;
    }
    int result = MPG123_OK;
    mpg123_handle* decoder = mpg123_new(nullptr, &result);  // the wrapper above: born quiet
    if (decoder == nullptr) {
        close(file);
        check.error = BASS_ERROR_UNKNOWN;
        return check;
    }
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    check.error = BASS_ERROR_FILE_FORMAT;
    if (mpg123_open_fd(decoder, file) == MPG123_OK) {
        if (mpg123_getformat(decoder, &rate, &channels, &encoding) == MPG123_OK && rate > 0) {
            off_t samples = -1;
            if (scan && mpg123_scan(decoder) == MPG123_OK) {
                samples = mpg123_length(decoder);
                check.length_exact = samples >= 0;
            } else if (!scan) {
                samples = mpg123_length(decoder);  // from the Info header, or guessed from the bit rate
            }
            if (samples >= 0) {
                // The mixer resamples to 44100 Hz: the frames it outputs for `samples` at `rate`.
                const QWORD frames = (static_cast<QWORD>(samples) * output_rate + static_cast<QWORD>(rate) / 2) /
                                     static_cast<QWORD>(rate);
                check.length_bytes = frames * frame_bytes;
                check.error = BASS_OK;
            }
        }
        mpg123_close(decoder);
    }
    mpg123_delete(decoder);
    close(file);
    return check;
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

// Opens the default output device (1 or -1) at 44100 Hz, 16-bit, stereo, whatever `frequency`
// asks. Returns 1, or 0 with BASS_ERROR_ALREADY, BASS_ERROR_DEVICE (another device number, or
// none can be opened) or BASS_ERROR_UNKNOWN; after a failure nothing is left running.
BOOL BASS_Init(int device, DWORD, DWORD, void*, const void*) {
    if (backend.started) {
        return finish(BASS_ERROR_ALREADY, 0);
    }
    if (device != 1 && device != -1) {
        return finish(BASS_ERROR_DEVICE, 0);
    }
    const int code = start_up();
    if (code != BASS_OK) {
        shut_down();
        return finish(code, 0);
    }
    return finish(BASS_OK, 1);
}

// Stops the output and releases the stream and the device. Returns 1, also when nothing was
// started.
BOOL BASS_Free() {
    shut_down();
    return finish(BASS_OK, 1);
}

int BASS_ErrorGetCode() {
    return last_error;
}

// ---- Streams -------------------------------------------------------------------------------

// Loads the MP3 file at `file` (a path: `in_memory` 0, `offset` and `length` 0) as the music
// stream, in place of the previous one, which stays when the new one fails. Flags: 0 or
// BASS_MP3_SETPOS. Returns a fresh handle, or 0 with BASS_ERROR_NOT_STARTED,
// BASS_ERROR_ARGUMENT, BASS_ERROR_FILE_OPEN (missing, unreadable) or BASS_ERROR_FILE_FORMAT
// (empty, a directory, no MPEG audio).
HSTREAM BASS_StreamCreateFile(BOOL in_memory, const void* file, QWORD offset, QWORD length, DWORD flags) {
    if (!backend.started) {
        return finish(BASS_ERROR_NOT_STARTED, HSTREAM{0});
    }
    if (in_memory != 0 || file == nullptr || offset != 0 || length != 0 || (flags & ~BASS_MP3_SETPOS) != 0) {
        return finish(BASS_ERROR_ARGUMENT, HSTREAM{0});
    }
    const char* path = static_cast<const char*>(file);
    const FileCheck check = check_file(path, (flags & BASS_MP3_SETPOS) != 0);
    if (check.error != BASS_OK) {
        return finish(check.error, HSTREAM{0});
    }
    SDL_RWops* source = SDL_RWFromFile(path, "rb");
    if (source == nullptr) {
        return finish(BASS_ERROR_FILE_OPEN, HSTREAM{0});
    }
    // MP3 by our check, whatever the file's name; SDL_mixer closes `source` even on failure.
    Mix_Music* music = Mix_LoadMUSType_RW(source, MUS_MP3, 1);
    if (music == nullptr) {
        return finish(BASS_ERROR_FILE_FORMAT, HSTREAM{0});
    }

    if (backend.music != nullptr) {
        Mix_HaltMusic();
        Mix_FreeMusic(backend.music);
    }
    reset_capture();
    backend.music = music;
    backend.length_bytes = check.length_bytes;
    backend.length_exact = check.length_exact;
    backend.playback = Playback::stopped;
    backend.volume = 100;
    backend.panning = 0;
    Mix_VolumeMusic(mixer_volume(backend.volume));
    apply_panning(backend.panning);
    last_stream_number = last_stream_number == ~HSTREAM{0} ? 1 : last_stream_number + 1;
    backend.stream = last_stream_number;
    return finish(BASS_OK, backend.stream);
}

// The stream's length in bytes of the 44100 Hz 16-bit stereo stream: exact when it was created
// with BASS_MP3_SETPOS, else estimated from the file's header. (QWORD)-1 on a bad handle.
QWORD BASS_ChannelGetLength(DWORD handle) {
    const int code = check_stream(handle);
    if (code != BASS_OK) {
        return finish(code, ~QWORD{0});
    }
    return finish(BASS_OK, backend.length_bytes);
}

// ---- Playback ------------------------------------------------------------------------------

// Plays the stream: from the beginning with `restart` set or when it is not under way, else
// resumes it from a pause (playing on is a no-op). Returns 1, or 0 with an error code.
BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) {
    const int code = check_stream(handle);
    if (code != BASS_OK) {
        return finish(code, 0);
    }
    note_music_end();
    if (restart == 0 && backend.playback == Playback::playing) {
        return finish(BASS_OK, 1);
    }
    if (restart == 0 && backend.playback == Playback::paused) {
        Mix_ResumeMusic();
        std::lock_guard lock(capture.mutex);
        capture.counting = !capture.ended;
        backend.playback = Playback::playing;
        return finish(BASS_OK, 1);
    }
    // Halt first, so that any end the finished hook reports from here on is the new run's.
    Mix_HaltMusic();
    {
        std::lock_guard lock(capture.mutex);
        capture.frames_played = 0;
        capture.counting = false;
        capture.ended = false;
    }
    if (Mix_PlayMusic(backend.music, 0) != 0) {  // halts, rewinds to 0, plays once
        backend.playback = Playback::stopped;
        return finish(BASS_ERROR_UNKNOWN, 0);
    }
    std::lock_guard lock(capture.mutex);
    capture.counting = !capture.ended;  // a stream shorter than one callback may be over already
    backend.playback = Playback::playing;
    return finish(BASS_OK, 1);
}

// Pauses the stream, holding its position; pausing a paused or stopped stream is a no-op.
// Returns 1, or 0 with an error code.
BOOL BASS_ChannelPause(DWORD handle) {
    const int code = check_stream(handle);
    if (code != BASS_OK) {
        return finish(code, 0);
    }
    note_music_end();
    if (backend.playback == Playback::playing) {
        Mix_PauseMusic();  // counting stops after it: the callbacks that sounded music count
        std::lock_guard lock(capture.mutex);
        capture.counting = false;
        backend.playback = Playback::paused;
    }
    return finish(BASS_OK, 1);
}

// ---- Attributes ----------------------------------------------------------------------------

// Sets volume (0..100) and panning (-100..100); the KEEP values leave one as it is. Nothing is
// changed when any value is refused. Returns 1, or 0 with BASS_ERROR_ARGUMENT (out of range, or
// any rate but BASS_KEEP_RATE), BASS_ERROR_UNKNOWN or a handle's error code.
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
    if (volume != BASS_KEEP_VOLUME) {
        Mix_VolumeMusic(mixer_volume(volume));
        backend.volume = volume;
    }
    if (panning != BASS_KEEP_PANNING) {
        if (!apply_panning(panning)) {
            return finish(BASS_ERROR_UNKNOWN, 0);
        }
        backend.panning = panning;
    }
    return finish(BASS_OK, 1);
}

// Reads the rate (always 44100), volume and panning into the non-null outputs. Returns 1, or 0
// with the outputs untouched.
BOOL BASS_ChannelGetAttributes(DWORD handle, DWORD* rate, DWORD* volume, int* panning) {
    const int code = check_stream(handle);
    if (code != BASS_OK) {
        return finish(code, 0);
    }
    if (rate != nullptr) {
        *rate = output_rate;
    }
    if (volume != nullptr) {
        *volume = static_cast<DWORD>(backend.volume);
    }
    if (panning != nullptr) {
        *panning = backend.panning;
    }
    return finish(BASS_OK, 1);
}

// ---- Position ------------------------------------------------------------------------------

// The bytes (frames x 4) output since the stream last started from the beginning; once it has
// played to its end, its whole length when that is exact. (QWORD)-1 on a bad handle.
QWORD BASS_ChannelGetPosition(DWORD handle) {
    const int code = check_stream(handle);
    if (code != BASS_OK) {
        return finish(code, ~QWORD{0});
    }
    QWORD position = 0;
    {
        std::lock_guard lock(capture.mutex);
        position = capture.frames_played * frame_bytes;
        if (backend.length_exact && capture.ended) {
            position = backend.length_bytes;  // the last callback's music was not counted
        }
    }
    note_music_end();
    if (backend.length_exact) {
        position = std::min(position, backend.length_bytes);
    }
    return finish(BASS_OK, position);
}

// `position` bytes of the 44100 Hz 16-bit stereo stream in seconds; -1 on a bad handle.
float BASS_ChannelBytes2Seconds(DWORD handle, QWORD position) {
    const int code = check_stream(handle);
    if (code != BASS_OK) {
        return finish(code, -1.0f);
    }
    return finish(BASS_OK, static_cast<float>(static_cast<double>(position) / (output_rate * frame_bytes)));
}

// ---- Spectrum ------------------------------------------------------------------------------

// With `length` BASS_DATA_FFT512: 256 magnitudes of a 512-point FFT of the last 512 frames
// output (left and right averaged, Hann window, scaled by 2 * 2 / 512 so that a sine centred on
// a bin reads its amplitude, full scale 1.0). Returns 1024 (the bytes written), or (DWORD)-1
// with BASS_ERROR_ARGUMENT (another length, a null buffer) or a handle's error code.
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
        // Copy out briefly: the audio thread waits on this mutex.
        std::lock_guard lock(capture.mutex);
        const auto oldest = static_cast<std::ptrdiff_t>(capture.ring_next) * output_channels;
        std::rotate_copy(capture.ring.begin(), capture.ring.begin() + oldest, capture.ring.end(), frames.begin());
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
