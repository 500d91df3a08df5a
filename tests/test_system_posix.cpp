#include "test_system.hpp"

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

}  // namespace test_system
