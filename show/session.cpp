#include "show/session.hpp"

#include "platform/platform.hpp"
#include "sound/sound.hpp"

void end_show_if_asked() {
    const int signal = platform::stop_request();
    if (signal == 0) {
        return;
    }
    sound_uninit();
    platform::exit_by_signal(signal);
}
