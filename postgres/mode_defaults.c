/* mode_defaults.c: writes the sed script with which the Makefile puts the
 * default modes of onymix.h, by their labels, into the install script, so
 * that the SQL functions' DEFAULT clauses are the library's defaults. */
#include <stdio.h>

#include "onymix.h"

int main(void) {
    const char *sequence = onymix_mode_label(ONYMIX_DEFAULT_SEQUENCE_MODE);
    const char *id = onymix_mode_label(ONYMIX_DEFAULT_ID_MODE);
    if (!sequence || !id)
        return 1;
    printf("s/@DEFAULT_SEQUENCE_MODE@/%s/g\ns/@DEFAULT_ID_MODE@/%s/g\n", sequence, id);
    return ferror(stdout) || fflush(stdout) ? 1 : 0;
}
