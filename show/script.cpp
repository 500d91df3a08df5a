#include "show/script.hpp"

#include <cstdlib>
#include <ctime>

#include "platform/platform.hpp"
#include "show/banners.hpp"
#include "show/console.hpp"
#include "show/pictures.hpp"
#include "show/schedule.hpp"
#include "show/session.hpp"
#include "show/typewriter.hpp"
#include "sound/sound.hpp"

// One line per cue: what appears, at which pace, and the pause after it.
void run_show() {
    console_restart();
    schedule_restart();

    print_at_once("PRESS ALT + TAB FOR US PLEASE... \nMake life a bit easier bringing the screen closer to your eyes ^-^\n\n");  pause_ms(10000);
    print_at_once("\n\n\n\n\n\n\n\n\n\n\nWe proudly present: BIXO THE UNICORN \n\n\n\n\n\n");  pause_ms(2000);

    sound_init();
    sound_load("bixo.mp3");
    on_early_end(sound_pause);  // silent at once; closing the device would take ~50 ms
    sound_play();
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    prints("Meet our friend", story_pace);
    prints(" B I X O ", story_pace);  pause_ms(1000);
    print_horse1();  pause_ms(2000);
    prints("He is a M A G I C A L unicorn\n\n", story_pace);  pause_ms(1500);
    prints("Yes. I know it's hard to believe, but it's true\n\n", story_pace);  pause_ms(1000);
    prints("He is unfortunately a very sad unicorn\n\n", story_pace);  pause_ms(2000);
    prints(" ='( \n\n", story_pace);  pause_ms(1000);
    prints("All of his friends are horses...\n\n", story_pace);  pause_ms(1500);
    prints("Bixo doesn't want his horn, because he doesn't want to stand out\n\n", story_pace);  pause_ms(1500);
    prints("But luck shines at Bixo. A little, bold and a bit fat guy from ZOBRI\ntells him about a great secret place\n", story_pace);  pause_ms(1000);
    prints("At this place he can get his horn removed\n", story_pace);  pause_ms(1500);
    prints("Bixo didn't have a car, since he chose to receive 50 extra hp\nand 5 more charisma-points at level 17 instead of a licence\n", story_pace);  pause_ms(1500);
    prints("He asked his neighbour Ivro to borrow his bike for the ride\n\n", story_pace);  pause_ms(1000);
    prints("He only had a unibike\n\n", story_pace);
    print_unibike();

    console_finish_full_row();  // the picture's last row is full; a message from the music starts below it
    sound_play();

    prints("He took the bike and went to the secret place\n", story_pace);  pause_ms(1000);
    prints("He arrived and a level 60 priest said a few magic words and suddenly the horn was gone\n\n", story_pace);
    prints(" =') \n\n", story_pace);  pause_ms(1000);
    prints("\"Hurray\", Bixo thought, but unfortunately, something terrible had happened\n", story_pace);  pause_ms(1000);
    prints("The priest forgot to tell him about the side effects of cutting of the magical horn\n\n", story_pace);  pause_ms(2000);
    prints("Bixo now had an ENORMOUS unibrow\n", story_pace);  pause_ms(1500);
    print_horse2();  pause_ms(3500);
    prints("But he didn't really care\n", story_pace);  pause_ms(1000);
    prints("All his friends thought he looked really cool\n", story_pace);
    prints("He was da BOMB\n\n", story_pace);  pause_ms(1000);
    prints("So he became very popular and lived happily ever after\n\n\n", story_pace);  pause_ms(5000);
    prints(" T H E   E N D \n\n\n", story_pace);
    prints("This was our first intro/demo/whatever, ever\n\n", story_pace);
    prints("xD\n\n", story_pace);
    prints("Code by: \n\n\n", story_pace);
    type_rows(banners::programmer_banner_rows);
    prints("\n\n\nGraphics by: \n\n\n", fast_pace);
    type_rows(banners::artist_banner_rows);
    prints("\n\n\nMusic thanks to ToRvaX\n\n\n", fast_pace);

    sound_uninit();
    on_early_end(nullptr);
    platform::wait_for_key();
    end_show_if_asked();
}
