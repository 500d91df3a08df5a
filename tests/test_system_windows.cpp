#define WIN32_LEAN_AND_MEAN
#include <windows.h>
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

}  // namespace test_system
