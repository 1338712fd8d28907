# Turns the census name lists (names/data/*.txt, one name a line) into the
# compiled-in name table: the names as NUL-separated text in chunks of 4096
# entries (each chunk well under 64 KiB, the longest string literal some
# compilers accept) and, per entry, a 16-bit offset into its chunk. That is
# 2 bytes of index per name instead of a 4- or 8-byte pointer. Each chunk
# ends in 16 more NUL bytes, so that 16 bytes may be read from the start of
# any entry (a name is copied as one fixed 16-byte move).
#
# Beside it, for the modes that take a first name from either list, a key per
# first name that numbers the distinct first-name texts: a male name's key is
# its place in the male list, a female name that is also a male name shares
# that name's key, and the other female names follow in list order.
#
# cmake -DMALE=... -DFEMALE=... -DSURNAMES=... -DOUT=... -P embed_names.cmake
foreach(var MALE FEMALE SURNAMES OUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "embed_names: ${var} not given")
  endif()
endforeach()

file(STRINGS "${MALE}" male)
file(STRINGS "${FEMALE}" female)
file(STRINGS "${SURNAMES}" surnames)
list(LENGTH male male_count)
list(LENGTH female female_count)
list(LENGTH surnames surname_count)
set(names ${male} ${female} ${surnames})
list(LENGTH names count)

set(chunk_size 4096)
set(padding "\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0\\0")
math(EXPR chunk_count "(${count} + ${chunk_size} - 1) / ${chunk_size}")

set(text "")
set(offsets "")
set(index 0)
set(chunk -1)
foreach(name IN LISTS names)
  if(NOT name MATCHES "^[A-Z][a-z]+$")
    message(FATAL_ERROR "embed_names: entry ${index} is not a name: '${name}'")
  endif()
  math(EXPR in_chunk "${index} % ${chunk_size}")
  if(in_chunk EQUAL 0)
    if(chunk GREATER_EQUAL 0)
      string(APPEND text ";\n\n")
    endif()
    math(EXPR chunk "${chunk} + 1")
    string(APPEND text "static const char chunk_${chunk}[] =")
    set(offset 0)
  endif()
  math(EXPR in_line "${in_chunk} % 12")
  if(in_line EQUAL 0)
    string(APPEND text "\n    \"")
  endif()
  string(APPEND text "${name}\\0")
  math(EXPR next "${in_chunk} + 1")
  math(EXPR next_in_line "${next} % 12")
  if(next_in_line EQUAL 0 OR next EQUAL chunk_size)
    string(APPEND text "\"")
  endif()
  math(EXPR in_row "${index} % 16")
  if(in_row EQUAL 0)
    string(APPEND offsets "\n   ")
  endif()
  string(APPEND offsets " ${offset},")
  string(LENGTH "${name}" length)
  math(EXPR offset "${offset} + ${length} + 1")
  math(EXPR index "${index} + 1")
endforeach()
if(NOT text MATCHES "\"$")
  string(APPEND text "\"")
endif()
string(REPLACE ";\n\n" "\n    \"${padding}\";\n\n" text "${text}")
string(APPEND text "\n    \"${padding}\";\n")

set(first_name_keys "")
# And the other way: for each key, the entry of its first name (its place in
# the male list, or the female entry of a name that is no male name), so
# that the keys also number a list of the distinct first names.
set(key_entries "")
set(index 0)
foreach(name IN LISTS male)
  set(male_key_${name} ${index})
  math(EXPR in_row "${index} % 16")
  if(in_row EQUAL 0)
    string(APPEND key_entries "\n   ")
  endif()
  string(APPEND key_entries " ${index},")
  math(EXPR in_row "${index} % 16")
  if(in_row EQUAL 0)
    string(APPEND first_name_keys "\n   ")
  endif()
  string(APPEND first_name_keys " ${index},")
  math(EXPR index "${index} + 1")
endforeach()
set(next_key ${male_count})
foreach(name IN LISTS female)
  if(DEFINED male_key_${name})
    set(key ${male_key_${name}})
  else()
    set(key ${next_key})
    math(EXPR in_row "${key} % 16")
    if(in_row EQUAL 0)
      string(APPEND key_entries "\n   ")
    endif()
    math(EXPR next_key "${next_key} + 1")
    string(APPEND key_entries " ${index},")
  endif()
  math(EXPR in_row "${index} % 16")
  if(in_row EQUAL 0)
    string(APPEND first_name_keys "\n   ")
  endif()
  string(APPEND first_name_keys " ${key},")
  math(EXPR index "${index} + 1")
endforeach()

set(chunk_list "")
foreach(c RANGE 0 ${chunk})
  string(APPEND chunk_list "chunk_${c}, ")
endforeach()

file(WRITE "${OUT}.tmp"
"// Generated from names/data/*.txt by cmake/embed_names.cmake; do not edit.
#define NAME_TABLE_MALE_COUNT ${male_count}
#define NAME_TABLE_FEMALE_COUNT ${female_count}
#define NAME_TABLE_SURNAME_COUNT ${surname_count}
#define NAME_TABLE_COUNT ${count}
#define NAME_TABLE_CHUNK_SIZE ${chunk_size}
#define NAME_TABLE_FIRST_NAME_KEYS ${next_key}

${text}
static const char *const name_chunks[${chunk_count}] = {${chunk_list}};

static const unsigned short name_offsets[${count}] = {${offsets}
};

static const unsigned short first_name_key_table[${male_count} + ${female_count}] = {${first_name_keys}
};

static const unsigned short first_name_of_key_table[${next_key}] = {${key_entries}
};
")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
