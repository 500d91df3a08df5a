// Runs the real `bixo` in a pseudo-terminal, in a directory of its own, and records what the
// terminal receives and when.
#pragma once

#include <sys/types.h>
#include <termios.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

class BixoInTerminal {
public:
    struct Options {
        bool with_music = true;                // copy bixo.mp3 beside it
        const char* audio_driver = "disk";     // SDL's driver; "disk" records to audio()
        unsigned short columns = 80;
        bool input_closed = false;             // start it with standard input closed
        bool job_of_a_shell = false;           // started by an interactive `dash`, as its job
        std::vector<std::string> environment = {};  // "NAME=value" settings added to its environment
    };

    explicit BixoInTerminal(const Options& options);
    ~BixoInTerminal();  // kills it if still running and removes its directory

    BixoInTerminal(const BixoInTerminal&) = delete;
    BixoInTerminal& operator=(const BixoInTerminal&) = delete;

    // Seconds since it was started.
    double now() const;

    // Records what arrives until `seconds` after the start, or until it ends.
    void record_until(double seconds);
    // Records until `text` has arrived (true) or `seconds` after the start have passed (false).
    bool record_until_text(std::string_view text, double seconds);
    // Records until it ends, at most `seconds` after the start. Returns its status as a shell
    // shows it (128 + the signal that ended it), or -1 when it did not end in time.
    int record_until_exit(double seconds);

    bool running();
    void type(std::string_view keys);
    void send_signal(int signal);

    // Records until the program is stopped (true), or `seconds` after the start (false).
    bool record_until_stopped(double seconds);
    // Records until the program runs again after a stop (true), or `seconds` after the start.
    bool record_until_continued(double seconds);
    // Records until the terminal's settings are those of the show: echo off (true), or `seconds`.
    bool record_until_echo_off(double seconds);

    // Seconds after the start at which `text` (searched from `from`) had fully arrived; -1 if never.
    double time_of(std::string_view text, std::size_t from = 0) const;

    termios terminal_settings() const;
    std::string error_output() const;
    std::string audio() const;

    std::string output;              // what the terminal received, carriage returns dropped
    std::vector<double> arrived_at;  // for each byte of `output`, when it arrived
    termios settings_before{};       // the terminal's settings it is started with

private:
    // Reads what is there, waiting at most `wait_ms`. False when the terminal is closed.
    bool read_some(int wait_ms);

    // The program's process: the child, or the shell's child once it has started it.
    pid_t program();
    // Whether the program's process is stopped right now.
    bool program_stopped();

    std::filesystem::path directory_;
    pid_t child_ = -1;    // the program, or the shell that runs it
    pid_t program_ = -1;
    int terminal_ = -1;
    int exit_status_ = -1;
    std::chrono::steady_clock::time_point started_;
};

// True when two sets of terminal settings are the same.
bool same_settings(const termios& a, const termios& b);
