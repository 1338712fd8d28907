// name_table.h: the census name lists compiled into the program.
//
// One table of 61,836 names in three consecutive sections, each ordered from
// the most common name to the rarest. A section is given by its first index
// and its span, the number of its entries less one.
#pragma once

#include <cstddef>

const int male_first = 0;
const int male_span = 1218;
const int female_first = 1219;
const int female_span = 4274;
const int surname_first = 5494;
const int surname_span = 56341;
const int name_table_size = 61836;

// The number of different first-name texts in the two lists together (331
// names are in both).
const int first_name_key_count = 5163;

// The table's own text of entry index (0 to 61835). Read-only: the picker
// hands out copies, never these strings. At least 16 bytes may be read from
// the returned pointer, so an entry (at most 13 letters) can be copied as one
// fixed 16-byte move.
const char *name_at(int index);

// The length of entry index.
size_t name_length(int index);

// A number from 0 to first_name_key_count - 1 for the text of first name
// index (0 to surname_first - 1): the same for the same text in both lists,
// different for different texts. The male names' keys are their places in
// the male list; the female names that are no male names follow, in the
// female list's order.
int first_name_key(int index);

// The first name whose key is key: its male entry, or its female entry when
// it is no male name. So the keys number a list of the distinct first names.
int first_name_of_key(int key);
