// The three pictures, typed row by row at the fast pace.
#pragma once

// The unicorn with his spiral horn.
void print_horse1();
// The unicorn without his horn, under his enormous unibrow.
void print_horse2();
// The unicycle.
void print_unibike();
