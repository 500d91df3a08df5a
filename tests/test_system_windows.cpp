#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <stdexcept>

#include "test_system.hpp"

namespace test_system {

// _putenv_s changes the C runtime's copy, which getenv reads, and the process's own.
void set_environment(const char* name, const std::string& value) {
    _putenv_s(name, value.c_str());
}

void unset_environment(const char* name) {
    _putenv_s(name, "");  // an empty value removes the variable
}

std::filesystem::path make_scratch_directory(const std::string& prefix) {
    const std::filesystem::path temporary = std::filesystem::temp_directory_path();
    const std::string stem = prefix + std::to_string(GetCurrentProcessId()) + "-";
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        const std::filesystem::path candidate = temporary / (stem + std::to_string(attempt));
        if (std::filesystem::create_directory(candidate)) {  // false when it exists already
            return candidate;
        }
    }
    throw std::runtime_error("cannot make a scratch directory in " + temporary.string());
}

int thread_count() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot list the threads");
    }
    const DWORD self = GetCurrentProcessId();
    int count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        count += entry.th32OwnerProcessID == self ? 1 : 0;
    }
    CloseHandle(snapshot);
    return count;
}

// The C runtime's standard input and the process's own: the key wait reads the latter.
void make_input(const std::string& bytes) {
    HANDLE read_end = nullptr;
    HANDLE write_end = nullptr;
    DWORD written = 0;
    if (!CreatePipe(&read_end, &write_end, nullptr, 0) ||
        !WriteFile(write_end, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) || written != bytes.size()) {
        throw std::runtime_error("cannot fill a pipe");
    }
    CloseHandle(write_end);
    SetStdHandle(STD_INPUT_HANDLE, read_end);
    _dup2(_open_osfhandle(reinterpret_cast<intptr_t>(read_end), _O_RDONLY | _O_BINARY), 0);
}

// The C runtime's standard output (what the show writes through) goes to the pipe as well.
void make_output_full() {
    HANDLE read_end = nullptr;
    HANDLE write_end = nullptr;
    if (!CreatePipe(&read_end, &write_end, nullptr, 4096)) {
        throw std::runtime_error("cannot make a pipe");
    }
    DWORD no_wait = PIPE_NOWAIT;
    DWORD wait = PIPE_WAIT;
    const char filler[512] = {};
    DWORD written = 0;
    SetNamedPipeHandleState(write_end, &no_wait, nullptr, nullptr);
    while (WriteFile(write_end, filler, sizeof filler, &written, nullptr) && written > 0) {
    }
    SetNamedPipeHandleState(write_end, &wait, nullptr, nullptr);
    SetStdHandle(STD_OUTPUT_HANDLE, write_end);
    _dup2(_open_osfhandle(reinterpret_cast<intptr_t>(write_end), _O_WRONLY | _O_TEXT), 1);
}

// Ctrl-C reaches every process on a console: this one gets a console to itself first.
void press_ctrl_c() {
    FreeConsole();
    AllocConsole();
    GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
}

bool ended_by_ctrl_c(int exit_status) {
    return static_cast<DWORD>(exit_status) == 0xC000013A;  // STATUS_CONTROL_C_EXIT
}

}  // namespace test_system
