# The WebAssembly module of libonymix, onymix.wasm, and the npm package's
# folder made from it (js/, by js/stage.mjs). The module is the library's own
# objects linked by emcc as a standalone module, with no JavaScript glue of
# emscripten's, so that one loader of ours (js/src/, staged as index.js)
# instantiates it synchronously in Node and asynchronously in a browser, from
# bytes it carries, with nothing fetched or evaluated. Its only imports are the
# clock (platform/web.cpp) and the notice that the memory has grown.
#
# The library carries the rules of stored.txt (store/), so the web page
# loads and saves the file, and stores and quits, by the program's own code.
#
# Included from cmake/library.cmake when EMSCRIPTEN is set.

# JavaScript may call every function of onymix.h, and allocate and free the
# memory it passes to them.
include(cmake/header_functions.cmake)
onymix_header_functions(${CMAKE_SOURCE_DIR}/include/onymix.h onymix_wasm_exports)
list(APPEND onymix_wasm_exports malloc free)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/include/onymix.h)

list(TRANSFORM onymix_wasm_exports PREPEND _ OUTPUT_VARIABLE onymix_wasm_symbols)
list(JOIN onymix_wasm_symbols , onymix_wasm_symbols)

add_executable(onymix_wasm $<TARGET_OBJECTS:onymix_objects>)
target_compile_options(onymix_wasm PRIVATE -fno-exceptions -fno-rtti)
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
  # The 64-bit numbers of onymix.h (ids, seeds, seek positions) cross into
  # JavaScript as BigInt, whole.
  -sWASM_BIGINT
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

# The package's folder, ready for npm pack, with the version and the
# header's numbers written in by js/stage.mjs.
set(onymix_js_dir ${CMAKE_BINARY_DIR}/js)
# index.js is built from the parts in js/src/, whichever they are.
file(GLOB onymix_js_parts CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/js/src/*.mjs)
set(onymix_js_sources
  ${CMAKE_SOURCE_DIR}/js/package.json
  ${onymix_js_parts}
  ${CMAKE_SOURCE_DIR}/js/index.mjs
  ${CMAKE_SOURCE_DIR}/js/index.d.ts
  ${CMAKE_SOURCE_DIR}/js/README.md
  ${CMAKE_SOURCE_DIR}/packaging/LICENSE.txt
  ${CMAKE_SOURCE_DIR}/packaging/NOTICE.txt)
add_custom_command(
  OUTPUT ${onymix_js_dir}/package.json
  COMMAND ${NODE_JS_EXECUTABLE} ${CMAKE_SOURCE_DIR}/js/stage.mjs
    ${PROJECT_VERSION} $<TARGET_FILE:onymix_wasm> ${CMAKE_SOURCE_DIR}/include/onymix.h ${onymix_js_dir}
  DEPENDS onymix_wasm ${onymix_js_sources} ${CMAKE_SOURCE_DIR}/include/onymix.h
    ${CMAKE_SOURCE_DIR}/js/stage.mjs
  COMMENT "Making the npm package's folder js/")
add_custom_target(onymix_js ALL DEPENDS ${onymix_js_dir}/package.json)

# The web page's folder, ready to open or serve: web/ with the package's
# index.js as onymix.js, and the program's icon and bitmaps, which browsers
# show as they are.
set(onymix_web_dir ${CMAKE_BINARY_DIR}/web)
set(onymix_web_sources
  ${CMAKE_SOURCE_DIR}/web/index.html
  ${CMAKE_SOURCE_DIR}/web/page.css
  ${CMAKE_SOURCE_DIR}/web/page.js
  ${CMAKE_SOURCE_DIR}/res/logo_badge.bmp
  ${CMAKE_SOURCE_DIR}/res/about_badges.bmp
  ${CMAKE_SOURCE_DIR}/res/onymix.ico)
add_custom_command(
  OUTPUT ${onymix_web_dir}/onymix.js
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${onymix_web_dir}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${onymix_web_dir}
  COMMAND ${CMAKE_COMMAND} -E copy ${onymix_web_sources} ${onymix_web_dir}
  COMMAND ${CMAKE_COMMAND} -E copy ${onymix_js_dir}/index.js ${onymix_web_dir}/onymix.js
  DEPENDS ${onymix_web_sources} ${onymix_js_dir}/package.json
  COMMENT "Making the web page's folder web/")
add_custom_target(onymix_web ALL DEPENDS ${onymix_web_dir}/onymix.js)
add_dependencies(onymix_web onymix_js)
