# onymix_header_functions(HEADER VARIABLE): the names of the functions
# include/onymix.h declares, sorted, into VARIABLE: what the library exports
# (lib/onymix.map, lib/onymix.def) and the WebAssembly module offers.
function(onymix_header_functions header variable)
  file(READ ${header} text)
  string(REGEX MATCHALL "ONYMIX_CALL[ \n]*onymix_[a-z0-9_]+" names "${text}")
  list(TRANSFORM names REPLACE "ONYMIX_CALL[ \n]*" "")
  list(SORT names)
  set(${variable} ${names} PARENT_SCOPE)
endfunction()
