#include "sound/music_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

MusicFile open_music_file(const char* path) {
    // O_NONBLOCK: opening a FIFO with no writer returns at once, and fstat refuses it below. On a
    // regular file the flag changes nothing.
    const int descriptor = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
        return {.problem = MusicFileProblem::cannot_read};
    }
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(descriptor);
        return {.problem = MusicFileProblem::not_a_file};
    }
    return {.descriptor = descriptor};
}

void close_music_file(int descriptor) {
    close(descriptor);
}
