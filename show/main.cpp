// bixo: the tale of a sad unicorn, typed on the console with music.
#include "platform/platform.hpp"
#include "show/script.hpp"

// Arguments are ignored: the show takes nothing but the final key press.
int main() {
    platform::begin_session();
    run_show();
    platform::end_session();
    return 0;
}
