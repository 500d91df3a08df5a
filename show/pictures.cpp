#include "show/pictures.hpp"

#include "show/picture_rows.hpp"
#include "show/typewriter.hpp"

void print_horse1() {
    print_at_once("\n");
    type_rows(pictures::horse1_rows);
}

void print_horse2() {
    type_rows(pictures::horse2_rows);
}

void print_unibike() {
    type_rows(pictures::unibike_rows);
}
