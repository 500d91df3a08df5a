#include "bixo_in_terminal.hpp"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

std::string read_file(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

int shell_status(int wait_status) {
    return WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
}

// The state and parent of process `pid` from /proc: state 0 when it is gone.
struct ProcessState {
    char state = 0;
    pid_t parent = 0;
};

ProcessState process_state(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const std::size_t name_end = line.rfind(')');
    ProcessState found;
    if (name_end != std::string::npos && std::sscanf(line.c_str() + name_end + 1, " %c %d", &found.state, &found.parent) != 2) {
        found = {};
    }
    return found;
}

// The settings a fresh pseudo-terminal starts with.
termios fresh_terminal_settings() {
    termios settings{};
    int master = -1;
    int slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) == 0) {
        tcgetattr(slave, &settings);
        close(slave);
        close(master);
    }
    return settings;
}

}  // namespace

BixoInTerminal::BixoInTerminal(const Options& options) {
    static int runs = 0;
    directory_ = fs::temp_directory_path() / ("bixo-terminal-" + std::to_string(getpid()) + "-" + std::to_string(++runs));
    fs::remove_all(directory_);
    fs::create_directories(directory_);
    if (options.with_music) {
        fs::copy_file(BIXO_MUSIC_FILE, directory_ / "bixo.mp3");
    }

    winsize size{};
    size.ws_row = 50;
    size.ws_col = options.columns;
    // Handed to the terminal, so they are known before the child starts changing them.
    settings_before = fresh_terminal_settings();
    started_ = std::chrono::steady_clock::now();
    child_ = forkpty(&terminal_, nullptr, &settings_before, &size);
    if (child_ == 0) {
        fs::current_path(directory_);
        setenv("SDL_AUDIODRIVER", options.audio_driver, 1);
        setenv("SDL_DISKAUDIOFILE", (directory_ / "audio.raw").c_str(), 1);
        for (const std::string& setting : options.environment) {
            const std::size_t equals = setting.find('=');
            setenv(setting.substr(0, equals).c_str(), setting.substr(equals + 1).c_str(), 1);
        }
        const int error_file = open((directory_ / "stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(error_file, STDERR_FILENO);
        close(error_file);
        if (options.input_closed) {
            close(STDIN_FILENO);
        }
        if (options.job_of_a_shell) {
            unsetenv("ENV");
            setenv("PS1", "$ ", 1);
            execl("/usr/bin/dash", "dash", "-i", static_cast<char*>(nullptr));
        } else {
            execl(BIXO_EXECUTABLE, "bixo", static_cast<char*>(nullptr));
        }
        _exit(127);
    }
    if (options.job_of_a_shell) {
        type(BIXO_EXECUTABLE "\n");  // the shell reads it once it is ready
    } else {
        program_ = child_;
    }
}

BixoInTerminal::~BixoInTerminal() {
    if (program_ > 0 && program_ != child_) {
        kill(program_, SIGKILL);  // the shell's child: the shell reaps it
    }
    if (running()) {
        kill(child_, SIGKILL);
        waitpid(child_, nullptr, 0);
    }
    close(terminal_);
    fs::remove_all(directory_);
}

double BixoInTerminal::now() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
}

bool BixoInTerminal::read_some(int wait_ms) {
    pollfd readable{terminal_, POLLIN, 0};
    if (poll(&readable, 1, wait_ms) <= 0) {
        return true;
    }
    char buffer[4096];
    const ssize_t count = read(terminal_, buffer, sizeof buffer);
    if (count <= 0) {
        return false;  // every copy of the terminal's other side is closed
    }
    const double arrived = now();
    for (ssize_t i = 0; i < count; ++i) {
        if (buffer[i] != '\r') {
            output += buffer[i];
            arrived_at.push_back(arrived);
        }
    }
    return true;
}

void BixoInTerminal::record_until(double seconds) {
    while (now() < seconds && read_some(5)) {
    }
}

bool BixoInTerminal::record_until_text(std::string_view text, double seconds) {
    while (output.find(text) == std::string::npos) {
        if (now() >= seconds || !read_some(5)) {
            return output.find(text) != std::string::npos;
        }
    }
    return true;
}

int BixoInTerminal::record_until_exit(double seconds) {
    while (running() && now() < seconds) {
        if (!read_some(5)) {
            // The terminal is closed: the program is ending, wait for it.
            while (running() && now() < seconds) {
                usleep(1000);
            }
        }
    }
    // What it wrote just before it ended may still wait in the terminal once it is gone.
    for (pollfd pending{terminal_, POLLIN, 0}; poll(&pending, 1, 0) > 0 && read_some(0);) {
    }
    return exit_status_;
}

bool BixoInTerminal::running() {
    if (exit_status_ >= 0) {
        return false;
    }
    int status = 0;
    if (waitpid(child_, &status, WNOHANG) == child_) {
        exit_status_ = shell_status(status);
        return false;
    }
    return true;
}

void BixoInTerminal::type(std::string_view keys) {
    write(terminal_, keys.data(), keys.size());
}

void BixoInTerminal::send_signal(int signal) {
    kill(program(), signal);
}

pid_t BixoInTerminal::program() {
    for (const auto deadline = now() + 10; program_ < 0 && now() < deadline; read_some(1)) {
        for (const fs::directory_entry& entry : fs::directory_iterator("/proc")) {
            const std::string name = entry.path().filename();
            if (name.find_first_not_of("0123456789") == std::string::npos &&
                process_state(std::stoi(name)).parent == child_) {
                program_ = std::stoi(name);
            }
        }
    }
    return program_;
}

bool BixoInTerminal::program_stopped() {
    return process_state(program()).state == 'T';
}

bool BixoInTerminal::record_until_stopped(double seconds) {
    while (!program_stopped()) {
        if (now() >= seconds) {
            return false;
        }
        read_some(1);
    }
    return true;
}

bool BixoInTerminal::record_until_continued(double seconds) {
    while (program_stopped()) {
        if (now() >= seconds) {
            return false;
        }
        read_some(1);
    }
    return true;
}

bool BixoInTerminal::record_until_echo_off(double seconds) {
    while ((terminal_settings().c_lflag & ECHO) != 0) {
        if (now() >= seconds) {
            return false;
        }
        read_some(1);
    }
    return true;
}

double BixoInTerminal::time_of(std::string_view text, std::size_t from) const {
    const std::size_t at = output.find(text, from);
    return at == std::string::npos ? -1.0 : arrived_at[at + text.size() - 1];
}

termios BixoInTerminal::terminal_settings() const {
    termios settings{};
    tcgetattr(terminal_, &settings);
    return settings;
}

std::string BixoInTerminal::error_output() const {
    return read_file(directory_ / "stderr.txt");
}

std::string BixoInTerminal::audio() const {
    return read_file(directory_ / "audio.raw");
}

bool same_settings(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag && a.c_lflag == b.c_lflag &&
           std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}
