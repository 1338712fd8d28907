# The WebAssembly module of libonymix, onymix.wasm: the library's own
# objects linked by emcc as a standalone module, with no JavaScript glue of
# emscripten's, so that one loader of ours (js/index.js) instantiates it
# synchronously in Node and asynchronously in a browser, from bytes it
# carries, with nothing fetched or evaluated. Its only imports are the
# clock (lib/clock_web.cpp) and the notice that the memory has grown.
#
# Included from cmake/library.cmake when EMSCRIPTEN is set.

# The functions JavaScript may call. To call more (functions of store/, say),
# add their names here and their sources to the module below.
set(onymix_wasm_exports
  onymix_version onymix_mode_label onymix_mode_from_label onymix_distinct_names
  onymix_generate onymix_open onymix_close onymix_next onymix_next_name
  onymix_format_header onymix_write
  malloc free)

list(TRANSFORM onymix_wasm_exports PREPEND _ OUTPUT_VARIABLE onymix_wasm_symbols)
list(JOIN onymix_wasm_symbols , onymix_wasm_symbols)

add_executable(onymix_wasm $<TARGET_OBJECTS:onymix_objects>)
set_target_properties(onymix_wasm PROPERTIES
  OUTPUT_NAME onymix
  SUFFIX .wasm
  # Linked as C, as the shared library is: the library needs nothing of the
  # C++ runtime.
  LINKER_LANGUAGE C)
target_link_options(onymix_wasm PRIVATE
  --no-entry
  -sSTANDALONE_WASM
  -sEXPORTED_FUNCTIONS=${onymix_wasm_symbols}
  # A unique generator holds one bit per name its mode can make, up to 36 MB.
  -sALLOW_MEMORY_GROWTH
  # The library's deepest call needs well under a kilobyte of stack; the
  # defaults (16 MB of memory, 5 MB of it stack) would be reserved by every
  # page that loads the module.
  -sINITIAL_MEMORY=2MB
  -sTOTAL_STACK=64KB
  # The clock is an import that the loader gives, not a function of
  # emscripten's JavaScript library, which would otherwise stop the link.
  # Any other undefined function would become an import the loader does not
  # give, and instantiation, hence every JavaScript test, would fail.
  -sERROR_ON_UNDEFINED_SYMBOLS=0
  -sWARN_ON_UNDEFINED_SYMBOLS=0)

