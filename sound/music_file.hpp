// Opening a music file for the decoder: the part of reading a file that differs between systems.
// CMake builds music_file_posix.cpp or music_file_windows.cpp.
#pragma once

enum class MusicFileProblem {
    none,
    cannot_read,     // missing, or not readable by us
    not_a_file,      // a directory, a FIFO, a device: anything but a regular file
};

struct MusicFile {
    int descriptor = -1;  // open when `problem` is none
    MusicFileProblem problem = MusicFileProblem::none;
};

// Opens the regular file at `path` read-only, in binary mode, as a C runtime file descriptor
// (what mpg123_open_fd reads). Never blocks, not even on a FIFO. Close it with close_music_file.
MusicFile open_music_file(const char* path);
void close_music_file(int descriptor);
