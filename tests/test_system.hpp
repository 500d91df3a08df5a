// What the tests need from the operating system beyond standard C++: environment variables (SDL
// reads its driver settings there), a scratch directory, the process's thread count, standard
// input and output through pipes, and Ctrl-C.
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

// For a process of its own (a death test), as neither is given back: standard input becomes a
// pipe that holds `bytes` and then ends; standard output a pipe that nobody reads, so full
// that the next write must wait.
void make_input(const std::string& bytes);
void make_output_full();

// Sends this process what Ctrl-C on its console sends (on Windows, on a console of its own).
void press_ctrl_c();

// Whether a death test's `exit_status` is that of a program ended by Ctrl-C.
bool ended_by_ctrl_c(int exit_status);

}  // namespace test_system
