#include "show/session.hpp"

#include "platform/platform.hpp"

namespace {

void (*early_end_undo)() = nullptr;

}  // namespace

void on_early_end(void (*undo)()) {
    early_end_undo = undo;
}

// The terminal comes first: it is what the viewer sees at once. Whatever the undo leaves
// open (the audio device) the process's end releases.
void end_show_if_asked() {
    const int signal = platform::stop_request();
    if (signal == 0) {
        return;
    }
    platform::end_session();
    if (early_end_undo != nullptr) {
        early_end_undo();
    }
    platform::exit_by_signal(signal);
}
