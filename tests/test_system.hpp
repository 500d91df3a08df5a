// What the tests need from the operating system beyond standard C++: environment variables (SDL
// reads its driver settings there), a scratch directory, and the process's thread count.
// CMake builds test_system_posix.cpp or test_system_windows.cpp.
#pragma once

#include <filesystem>
#include <string>

namespace test_system {

// Sets environment variable `name` for this process, as getenv (and so SDL) will see it.
void set_environment(const char* name, const std::string& value);
// Removes environment variable `name` from this process's environment.
void unset_environment(const char* name);

// Makes a new, empty directory in the system's temporary directory, its name starting with
// `prefix`. The caller removes it.
std::filesystem::path make_scratch_directory(const std::string& prefix);

// The threads this process runs right now.
int thread_count();

}  // namespace test_system
