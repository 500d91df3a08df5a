#include "sound_server.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// In a child process: makes `settings` ("NAME=value") part of the environment.
void set_environment(const std::vector<std::string>& settings) {
    for (const std::string& setting : settings) {
        const std::size_t equals = setting.find('=');
        setenv(setting.substr(0, equals).c_str(), setting.substr(equals + 1).c_str(), 1);
    }
}

// In a child process: replaces it with `command`, found on the PATH.
[[noreturn]] void run(const std::vector<std::string>& command) {
    std::vector<char*> arguments;
    for (const std::string& argument : command) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);
    execvp(arguments[0], arguments.data());
    _exit(127);
}

// Waits for `child` at most `limit`; kills it when it takes longer. Its exit status, -1 if killed.
int wait_for(pid_t child, Clock::duration limit) {
    const auto deadline = Clock::now() + limit;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (Clock::now() >= deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return -1;
        }
        poll(nullptr, 0, 20);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Tries `attempt` every 50 ms until it succeeds (true) or `limit` has passed (false).
template <typename Attempt>
bool retry_for(Clock::duration limit, Attempt attempt) {
    for (const auto deadline = Clock::now() + limit; !attempt();) {
        if (Clock::now() >= deadline) {
            return false;
        }
        poll(nullptr, 0, 50);
    }
    return true;
}

std::string read_file(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace

SoundServer::SoundServer(Kind kind) {
    std::string name = (fs::temp_directory_path() / "bixo-sound-server-XXXXXX").string();
    if (mkdtemp(name.data()) == nullptr) {  // mode 0700, as a runtime directory must be
        problem = "no private directory";
        return;
    }
    directory_ = name;
    // A client that finds no server must not start one of its own.
    fs::create_directories(directory_ / ".config" / "pulse");
    std::ofstream(directory_ / ".config" / "pulse" / "client.conf") << "autospawn = no\n";

    const fs::path log = directory_ / "log.txt";
    switch (kind) {
    case Kind::none:
        return;
    case Kind::pulseaudio:
        server_ = start({"pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "-n", "-L", "module-native-protocol-unix",
                         "-L", "module-null-sink sink_name=bixo_sink"}, log);
        break;
    case Kind::pipewire:
    case Kind::pipewire_without_session_manager: {
        const std::string session_manager = kind == Kind::pipewire ? "wireplumber & " : "";
        server_ = start({"dbus-run-session", "--", "sh", "-c",
                         "pipewire & until [ -S \"$XDG_RUNTIME_DIR/pipewire-0\" ]; do sleep 0.05; done; " +
                             session_manager + "pipewire-pulse & wait"}, log);
        break;
    }
    }

    const auto limit = std::chrono::seconds(20);  // generous: the machine may be busy
    if (!retry_for(limit, [&] { return run_client({"pactl", "info"}); })) {
        problem = "the server did not come up; its log:\n" + read_file(log);
        return;
    }
    if (kind != Kind::pulseaudio && !run_client({"pactl", "load-module", "module-null-sink", "sink_name=bixo_sink"})) {
        problem = "no null sink";
        return;
    }
    if (!retry_for(limit, [&] { return run_client({"pactl", "get-sink-volume", "bixo_sink"}); })) {
        problem = "the null sink did not appear; the server's log:\n" + read_file(log);
        return;
    }
    // Streams start only once the session manager has linked them to the sink.
    if (kind == Kind::pipewire &&
        !retry_for(limit, [&] { return run_client({"sh", "-c", "pw-cli ls Client | grep -q '\"WirePlumber\"'"}); })) {
        problem = "the session manager did not come up; the log:\n" + read_file(log);
    }
}

SoundServer::~SoundServer() {
    if (recorder_ > 0) {
        kill(recorder_, SIGKILL);
        waitpid(recorder_, nullptr, 0);
    }
    if (server_ > 0) {
        kill(-server_, SIGKILL);  // frozen ones too
        waitpid(server_, nullptr, 0);
    }
    if (!directory_.empty()) {
        std::error_code ignored;
        fs::remove_all(directory_, ignored);
    }
}

std::vector<std::string> SoundServer::client_environment() const {
    return {"XDG_RUNTIME_DIR=" + directory_.string(), "PIPEWIRE_RUNTIME_DIR=" + directory_.string(),
            "PULSE_SERVER=unix:" + (directory_ / "pulse" / "native").string(), "HOME=" + directory_.string()};
}

void SoundServer::start_recording() {
    recorder_ = start({"parec", "-d", "bixo_sink.monitor", "--format=s16le", "--rate=44100", "--channels=2", "--raw",
                       "--latency-msec=20"},
                      directory_ / "recording.raw");
}

std::string SoundServer::recording() const {
    return read_file(directory_ / "recording.raw");
}

void SoundServer::kill_server() {
    kill(-server_, SIGKILL);
}

void SoundServer::freeze_server() {
    kill(-server_, SIGSTOP);
}

bool SoundServer::run_client(const std::vector<std::string>& command) {
    const pid_t child = start(command, "/dev/null");
    return child > 0 && wait_for(child, std::chrono::seconds(10)) == 0;
}

pid_t SoundServer::start(const std::vector<std::string>& command, const fs::path& output) {
    const std::vector<std::string> environment = client_environment();
    const pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0);
        set_environment(environment);
        fs::current_path(directory_);
        const int nothing = open("/dev/null", O_RDONLY);
        const int written = open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        const int log = open((directory_ / "log.txt").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        dup2(nothing, STDIN_FILENO);
        dup2(written, STDOUT_FILENO);
        dup2(log, STDERR_FILENO);
        run(command);
    }
    if (child > 0) {
        setpgid(child, child);  // already in place, whichever of the two runs first
    }
    return child;
}
