// name_table.h: the census name lists compiled into the program.
//
// One table of 61,836 names in three consecutive sections, each ordered from
// the most common name to the rarest. A section is given by its first index
// and its span, the number of its entries less one.
#pragma once

const int male_first = 0;
const int male_span = 1218;
const int female_first = 1219;
const int female_span = 4274;
const int surname_first = 5494;
const int surname_span = 56341;
const int name_table_size = 61836;

// The table's own text of entry index (0 to 61835). Read-only: the picker
// hands out copies, never these strings.
const char *name_at(int index);
