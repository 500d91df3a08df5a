// A pseudo-terminal that stands in for the viewer's terminal during a benchmark: the show writes
// to its slave side, a reader thread drains the master side one byte at a time and notes when
// each byte arrived.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>
#include <thread>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

class PtyCapture {
public:
    // Opens a pty 80 columns wide whose output is passed through untranslated (one byte in, one
    // byte out) and starts the reader. `expected_bytes` only sizes the buffers up front, so the
    // reader does not allocate while the show types. Throws std::runtime_error on failure.
    explicit PtyCapture(std::size_t expected_bytes);
    // Stops the reader, puts standard output back if it was redirected and closes the pty.
    ~PtyCapture();

    PtyCapture(const PtyCapture&) = delete;
    PtyCapture& operator=(const PtyCapture&) = delete;

    // The slave side, for writing to the pty directly.
    int slave_fd() const { return slave_; }

    // Makes the slave side this process's standard output (the original is kept aside).
    void redirect_stdout();
    // Puts the original standard output back. Safe to call when not redirected.
    void restore_stdout();

    // Waits until `count` bytes have arrived or `timeout` has passed, then stops the reader.
    // Returns true when all `count` bytes arrived.
    bool finish(std::size_t count, Clock::duration timeout);

    // What arrived so far and when; valid after finish().
    const std::string& bytes() const { return bytes_; }
    const std::vector<Clock::time_point>& arrivals() const { return arrivals_; }

private:
    void read_until_stopped();

    int master_ = -1;
    int slave_ = -1;
    int saved_stdout_ = -1;
    std::string bytes_;
    std::vector<Clock::time_point> arrivals_;
    std::atomic<std::size_t> received_{0};
    std::atomic<bool> stop_{false};
    std::thread reader_;
};

}  // namespace bench
