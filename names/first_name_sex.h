// first_name_sex.h: the sex a first name has in the census lists, which its
// masking keeps: the list it is in, or, when it is in both, the list where
// it stands higher (is more common).
#pragma once

#include <cstddef>

// The mode of a folded first name (lower-case ASCII, as fold makes it):
// mode_male or mode_female when the name is in that list only or stands
// higher in it (a smaller place; "mary" is female); mode_any when it is in
// neither, or at the same place in both.
int first_name_mode(const unsigned char *folded, size_t length);
