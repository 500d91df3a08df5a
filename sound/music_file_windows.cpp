#include "sound/music_file.hpp"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

namespace {

bool is_regular(const struct _stat& status) {
    return (status.st_mode & _S_IFMT) == _S_IFREG;
}

}  // namespace

MusicFile open_music_file(const char* path) {
    // Opening a directory fails outright here, which would pass for a missing file: look first.
    struct _stat status {};
    if (_stat(path, &status) == 0 && !is_regular(status)) {
        return {.problem = MusicFileProblem::not_a_file};
    }
    const int descriptor = _open(path, _O_RDONLY | _O_BINARY);
    if (descriptor < 0) {
        return {.problem = MusicFileProblem::cannot_read};
    }
    if (_fstat(descriptor, &status) != 0 || !is_regular(status)) {  // a device such as NUL or CON
        _close(descriptor);
        return {.problem = MusicFileProblem::not_a_file};
    }
    return {.descriptor = descriptor};
}

void close_music_file(int descriptor) {
    _close(descriptor);
}
