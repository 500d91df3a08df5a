// The show, from the request to the viewer to the final key press.
#pragma once

// Runs the whole show on the calling thread: texts, pictures, music, credits, key wait.
void run_show();
