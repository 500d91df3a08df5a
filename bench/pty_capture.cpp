#include "pty_capture.hpp"

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace bench {

namespace {

constexpr unsigned short terminal_columns = 80;  // the show's own width: no extra line breaks
constexpr unsigned short terminal_rows = 25;
constexpr int reader_poll_ms = 20;  // how soon the reader notices a stop request

[[noreturn]] void fail(const char* what) {
    throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

}  // namespace

PtyCapture::PtyCapture(std::size_t expected_bytes) {
    termios settings{};
    cfmakeraw(&settings);  // no "\n" -> "\r\n": each character typed is exactly one byte read
    winsize size{};
    size.ws_col = terminal_columns;
    size.ws_row = terminal_rows;
    if (openpty(&master_, &slave_, nullptr, &settings, &size) != 0) {
        fail("openpty");
    }
    bytes_.reserve(expected_bytes);
    arrivals_.reserve(expected_bytes);
    reader_ = std::thread([this] { read_until_stopped(); });
}

PtyCapture::~PtyCapture() {
    stop_ = true;
    if (reader_.joinable()) {
        reader_.join();
    }
    restore_stdout();
    close(slave_);
    close(master_);
}

void PtyCapture::redirect_stdout() {
    if (saved_stdout_ < 0) {
        saved_stdout_ = dup(STDOUT_FILENO);
        if (saved_stdout_ < 0) {
            fail("dup");
        }
    }
    if (dup2(slave_, STDOUT_FILENO) < 0) {
        fail("dup2");
    }
}

void PtyCapture::restore_stdout() {
    if (saved_stdout_ >= 0) {
        dup2(saved_stdout_, STDOUT_FILENO);
        close(saved_stdout_);
        saved_stdout_ = -1;
    }
}

bool PtyCapture::finish(std::size_t count, Clock::duration timeout) {
    const Clock::time_point give_up = Clock::now() + timeout;
    while (received_ < count && Clock::now() < give_up) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    stop_ = true;
    if (reader_.joinable()) {
        reader_.join();
    }
    return bytes_.size() >= count;
}

// One byte per read(), stamped the moment read() returns. poll() only bounds the wait so a stop
// request is seen; while bytes flow it returns at once.
void PtyCapture::read_until_stopped() {
    pollfd master{master_, POLLIN, 0};
    while (!stop_) {
        const int ready = poll(&master, 1, reader_poll_ms);
        if (ready < 0 && errno != EINTR) {
            return;
        }
        if (ready <= 0) {
            continue;
        }
        char byte = 0;
        const ssize_t got = read(master_, &byte, 1);
        const Clock::time_point arrived = Clock::now();
        if (got == 1) {
            bytes_.push_back(byte);
            arrivals_.push_back(arrived);
            received_ = bytes_.size();
        } else if (got < 0 && errno != EINTR && errno != EAGAIN) {
            return;  // EIO: every slave descriptor is closed
        }
    }
}

}  // namespace bench
