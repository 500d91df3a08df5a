// The argument every benchmark with repeated runs takes: how many runs to make.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace bench {

// Returns the number of runs given as the first argument, `default_runs` without one, or 0
// after printing the usage when it is not at least 1.
inline int runs_argument(int argc, char** argv, int default_runs) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : default_runs;
    if (runs >= 1) return runs;
    std::fprintf(stderr, "usage: %s [runs >= 1]\n", argv[0]);
    return 0;
}

}  // namespace bench
