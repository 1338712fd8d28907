# Turns the census frequencies (names/data/*-weights.txt, one percent with
# three decimals a line, in the order of the name list beside it) into the
# cumulative weights the weighted picks search: for each list, entry i's
# value is the sum of the weights of entries 0 to i in thousandths of a
# percent, so every value is a whole number and the same on every platform.
#
# cmake -DMALE=... -DFEMALE=... -DSURNAMES=... -DOUT=... -P embed_weights.cmake
foreach(var MALE FEMALE SURNAMES OUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "embed_weights: ${var} not given")
  endif()
endforeach()

set(body "")
foreach(list MALE FEMALE SURNAMES)
  file(STRINGS "${${list}}" weights)
  list(LENGTH weights count)
  string(TOLOWER ${list} name)
  set(rows "")
  set(sum 0)
  set(index 0)
  foreach(weight IN LISTS weights)
    if(NOT weight MATCHES "^[0-9]+\\.[0-9][0-9][0-9]$" OR weight STREQUAL "0.000")
      message(FATAL_ERROR "embed_weights: ${${list}} line ${index} is no weight: '${weight}'")
    endif()
    string(REPLACE "." "" thousandths "${weight}")
    math(EXPR sum "${sum} + ${thousandths}")
    math(EXPR in_row "${index} % 10")
    if(in_row EQUAL 0)
      string(APPEND rows "\n   ")
    endif()
    string(APPEND rows " ${sum},")
    math(EXPR index "${index} + 1")
  endforeach()
  string(APPEND body "
#define ${list}_WEIGHT_COUNT ${count}
constexpr uint32_t ${name}_cumulative_weights[${count}] = {${rows}
};
")
endforeach()

file(WRITE "${OUT}.tmp"
"// Generated from names/data/*-weights.txt by cmake/embed_weights.cmake; do not edit.
// Cumulative weights in thousandths of a percent, one a listed entry.
${body}")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
