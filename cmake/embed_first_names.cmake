# Turns the census first-name lists (names/data/male.txt and female.txt, one
# name a line, most common first) into the index that looks a first name up
# by its text: every distinct first name once, in byte order of its text
# (which is the order of its lower-case text too, as every name is one
# capital followed by small letters), each as its place in the male list and
# in the female list, 65535 where it is in no such list; and, for each pair
# of first two letters (every name has two or more) and third letter or
# none, where its names begin in the index. The masking of first names
# searches that stretch by halving, so that the lookup is quick and needs no
# table built at run time; beside each row, the name's letters after its
# first two in lower case, in a row of 10 bytes, so that the search reads
# one small table.
#
# cmake -DMALE=... -DFEMALE=... -DOUT=... -P embed_first_names.cmake
foreach(var MALE FEMALE OUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "embed_first_names: ${var} not given")
  endif()
endforeach()

file(STRINGS "${MALE}" male)
file(STRINGS "${FEMALE}" female)

set(none 65535)
set(keys "")
set(index 0)
foreach(name IN LISTS male)
  if(NOT name MATCHES "^[A-Z][a-z][a-z]?[a-z]?[a-z]?[a-z]?[a-z]?[a-z]?[a-z]?[a-z]?[a-z]?$")
    message(FATAL_ERROR "embed_first_names: male name ${index} is not a name of 2 to 11 letters: '${name}'")
  endif()
  set(male_${name} ${index})
  list(APPEND keys ${name})
  math(EXPR index "${index} + 1")
endforeach()
set(index 0)
foreach(name IN LISTS female)
  if(NOT name MATCHES "^[A-Z][a-z][a-z]?[a-z]?[a-z]?[a-z]?[a-z]?[a-z]?[a-z]?[a-z]?[a-z]?$")
    message(FATAL_ERROR "embed_first_names: female name ${index} is not a name of 2 to 11 letters: '${name}'")
  endif()
  set(female_${name} ${index})
  if(NOT DEFINED male_${name})
    list(APPEND keys ${name})
  endif()
  math(EXPR index "${index} + 1")
endforeach()
list(SORT keys COMPARE STRING)
list(LENGTH keys count)

set(letters abcdefghijklmnopqrstuvwxyz)
macro(append_bucket row)
  math(EXPR in_row "${bucket} % 16")
  if(in_row EQUAL 0)
    string(APPEND buckets "\n   ")
  endif()
  string(APPEND buckets " ${row},")
  math(EXPR bucket "${bucket} + 1")
endmacro()
set(rows "")
set(tails "")
set(buckets "")
set(bucket 0)
set(index 0)
foreach(name IN LISTS keys)
  # Each stretch from the last name's first letters up to this name's
  # begins here: a stretch is a pair of first letters and a third letter,
  # or none for a name of two letters, which comes before the others.
  string(SUBSTRING "${name}" 0 2 pair)
  string(TOLOWER "${pair}" pair)
  string(SUBSTRING "${pair}" 0 1 first)
  string(SUBSTRING "${pair}" 1 1 second)
  string(FIND ${letters} ${first} first)
  string(FIND ${letters} ${second} second)
  set(third 0)
  string(LENGTH "${name}" name_length)
  if(name_length GREATER 2)
    string(SUBSTRING "${name}" 2 1 third_letter)
    string(FIND ${letters} ${third_letter} third)
    math(EXPR third "${third} + 1")
  endif()
  math(EXPR this_bucket "(${first} * 26 + ${second}) * 27 + ${third}")
  while(bucket LESS_EQUAL this_bucket)
    append_bucket(${index})
  endwhile()

  set(m ${none})
  set(f ${none})
  if(DEFINED male_${name})
    set(m ${male_${name}})
  endif()
  if(DEFINED female_${name})
    set(f ${female_${name}})
  endif()
  math(EXPR in_row "${index} % 8")
  if(in_row EQUAL 0)
    string(APPEND rows "\n   ")
  endif()
  string(APPEND rows " {${m}, ${f}},")
  string(SUBSTRING "${name}" 2 -1 tail)
  if(in_row EQUAL 0)
    string(APPEND tails "\n   ")
  endif()
  string(APPEND tails " \"${tail}\",")
  math(EXPR index "${index} + 1")
endforeach()

while(bucket LESS_EQUAL 18252)
  append_bucket(${count})
endwhile()

file(WRITE "${OUT}.tmp"
"// Generated from names/data/male.txt and female.txt by cmake/embed_first_names.cmake; do not edit.
#define FIRST_NAME_INDEX_COUNT ${count}
#define FIRST_NAME_INDEX_NONE ${none}

// {place in the male list, place in the female list}, in byte order of the names.
static const unsigned short first_names_by_text[${count}][2] = {${rows}
};

// The letters of each row's name after its first two, NUL after them.
static const char first_name_tails[${count}][10] = {${tails}
};

// The rows of the names whose first three letters are stretch s (27 * (26 *
// first + second) + third, a = 0 for the first two and 1 for the third, 0
// for no third) run from first_name_stretches[s] up to
// first_name_stretches[s + 1].
static const unsigned short first_name_stretches[26 * 26 * 27 + 1] = {${buckets}
};
")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
