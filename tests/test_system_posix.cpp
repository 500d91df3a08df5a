#include "test_system.hpp"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace test_system {

void set_environment(const char* name, const std::string& value) {
    setenv(name, value.c_str(), 1);
}

void unset_environment(const char* name) {
    unsetenv(name);
}

std::filesystem::path make_scratch_directory(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
    std::vector<char> writable(pattern.begin(), pattern.end());
    writable.push_back('\0');
    if (mkdtemp(writable.data()) == nullptr) {
        throw std::runtime_error("cannot make a scratch directory from " + pattern);
    }
    return writable.data();
}

int thread_count() {
    // Linux lists each thread of the process here.
    int count = 0;
    for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        ++count;
    }
    return count;
}

void make_input(const std::string& bytes) {
    int ends[2];
    if (pipe(ends) != 0 || write(ends[1], bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        throw std::runtime_error("cannot fill a pipe");
    }
    close(ends[1]);
    dup2(ends[0], STDIN_FILENO);
    close(ends[0]);
}

void make_output_full() {
    int ends[2];
    if (pipe(ends) != 0) {
        throw std::runtime_error("cannot make a pipe");
    }
    fcntl(ends[1], F_SETPIPE_SZ, 4096);
    fcntl(ends[1], F_SETFL, O_NONBLOCK);
    const char filler[512] = {};
    while (write(ends[1], filler, sizeof filler) > 0) {
    }
    fcntl(ends[1], F_SETFL, 0);
    dup2(ends[1], STDOUT_FILENO);
    close(ends[1]);  // the read end stays open, unread
}

void press_ctrl_c() {
    kill(getpid(), SIGINT);
}

bool ended_by_ctrl_c(int exit_status) {
    return WIFSIGNALED(exit_status) && WTERMSIG(exit_status) == SIGINT;
}

}  // namespace test_system
