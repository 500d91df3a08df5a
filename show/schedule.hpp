// The show's pauses, on a schedule.
//
// Each pause ends at a deadline: the previous deadline plus the pause. Time spent writing and a
// sleep's overshoot therefore never add up, and the show lasts exactly as long as its pauses.
// After a stall (output blocked, the process stopped and continued) the schedule starts again
// from the present instead of rushing out what it missed.
#pragma once

// Starts the schedule anew: the next pause ends its length after now.
void schedule_restart();

// Pauses the show for `milliseconds` after the previous pause's deadline. Ends the show
// when a signal asks for it, also in the middle of a pause.
void pause_ms(int milliseconds);

// Lateness beyond which a deadline counts as missed and the schedule starts again from now.
inline constexpr int stall_tolerance_ms = 50;
