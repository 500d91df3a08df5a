// A sound server of the test's own, as users have them: PulseAudio, or PipeWire with or without
// its session manager, in a private runtime directory with a null sink, so that no sound card is
// needed. The programs come from Debian's pulseaudio, pulseaudio-utils, pipewire, pipewire-pulse,
// wireplumber and dbus packages (`bash tools/setup.sh --tests` installs them).
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

class SoundServer {
public:
    enum class Kind {
        pulseaudio,
        pipewire,                           // pipewire, wireplumber and pipewire-pulse in a D-Bus session
        pipewire_without_session_manager,   // the same without wireplumber: no stream ever starts
        none,                               // only the private directory: no server to reach
    };

    // Starts the server and waits until its null sink "bixo_sink" is there; `problem` says why not.
    explicit SoundServer(Kind kind);
    // Ends the server and everything it started (a frozen one too) and removes the directory.
    ~SoundServer();

    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    // "NAME=value" settings that make a client reach this server and no other.
    std::vector<std::string> client_environment() const;

    // Records the sink's monitor from now on: 44100 Hz, 16-bit stereo, as the room would hear it.
    void start_recording();
    std::string recording() const;

    // The server crashes (SIGKILL), or stops answering (SIGSTOP) while its clients stay connected.
    void kill_server();
    void freeze_server();

    std::string problem;  // empty when the server is up

private:
    // Runs `command` as a client of this server; true when it ends with status 0 within 10 s.
    bool run_client(const std::vector<std::string>& command);
    // Starts `command` with this server's environment in a process group of its own.
    pid_t start(const std::vector<std::string>& command, const std::filesystem::path& output);

    std::filesystem::path directory_;
    pid_t server_ = -1;    // the server's process group (the server itself for PulseAudio)
    pid_t recorder_ = -1;
};
