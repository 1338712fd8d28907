# libonymix: the generator of names/ and the rules of stored.txt of store/,
# with the C interface of lib/ over them, compiled once more for the library (position-independent, every symbol
# hidden but the onymix_* functions, no exceptions or run-time type
# information, so that it needs nothing of the C++ runtime).
#
#   onymix_static   libonymix.a, linked by onymix-cli and installed
#   onymix_shared   libonymix.so.1.2.0 (SONAME libonymix.so.1), or onymix.dll
#                   with its import library libonymix.dll.a on Windows
#   onymix_wasm     onymix.wasm instead of both, with emscripten (cmake/wasm.cmake)
#
# Included from the top-level CMakeLists.txt after the name table is set up.

set(onymix_library_sources
  lib/onymix.cpp
  lib/by_id.cpp
  lib/mask.cpp
  lib/stored.cpp
  ${onymix_portable_sources}
  ${onymix_platform_source})
list(TRANSFORM onymix_library_sources PREPEND ${CMAKE_SOURCE_DIR}/)

add_library(onymix_objects OBJECT ${onymix_library_sources})
add_dependencies(onymix_objects onymix_name_table)
target_include_directories(onymix_objects PUBLIC ${CMAKE_SOURCE_DIR}/include)
set_target_properties(onymix_objects PROPERTIES
  POSITION_INDEPENDENT_CODE ON
  CXX_VISIBILITY_PRESET hidden
  VISIBILITY_INLINES_HIDDEN ON)
if(NOT MSVC)
  target_compile_options(onymix_objects PRIVATE -fno-exceptions -fno-rtti)
endif()
# UndefinedBehaviorSanitizer's function-type check would need the C++
# runtime's type information, which a C program linking the library lacks.
if(CMAKE_CXX_FLAGS MATCHES "-fsanitize=[^ ]*undefined" AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  target_compile_options(onymix_objects PRIVATE -fno-sanitize=function)
endif()

# A WebAssembly build makes the module for JavaScript and nothing else: there
# is no shared library to load, and no archive or header to install.
if(EMSCRIPTEN)
  # Position-independent code is for dynamic linking, which the module does not do.
  set_target_properties(onymix_objects PROPERTIES POSITION_INDEPENDENT_CODE OFF)
  include(cmake/wasm.cmake)
  return()
endif()

# The shared library. On ELF systems a version script gives the exported
# functions a version node and keeps everything else local; on Windows the
# module-definition file lists the exports (and is shipped, so that users of
# other compilers can make an import library from it).
add_library(onymix_shared SHARED $<TARGET_OBJECTS:onymix_objects>)
target_include_directories(onymix_shared PUBLIC
  $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}/include> $<INSTALL_INTERFACE:include>)
set_target_properties(onymix_shared PROPERTIES
  OUTPUT_NAME onymix
  EXPORT_NAME onymix
  VERSION ${PROJECT_VERSION}
  SOVERSION ${PROJECT_VERSION_MAJOR}
  # Linked as C: any use of the C++ runtime would show as a link error.
  LINKER_LANGUAGE C)
if(WIN32)
  target_sources(onymix_shared PRIVATE ${CMAKE_SOURCE_DIR}/lib/onymix.def)
  if(MINGW)
    # 32-bit code divides 64-bit numbers through libgcc's helpers, which the
    # C++ objects' -lgcc_s would take from MinGW's libgcc DLL: the static
    # libgcc comes first, so that only system DLLs are imported.
    target_link_libraries(onymix_shared PRIVATE gcc)
  endif()
  set_target_properties(onymix_shared PROPERTIES PREFIX "" IMPORT_PREFIX "lib"
    IMPORT_SUFFIX ".dll.a" RUNTIME_OUTPUT_NAME onymix)
else()
  target_link_options(onymix_shared PRIVATE
    -Wl,--version-script=${CMAKE_SOURCE_DIR}/lib/onymix.map)
  # Every symbol resolved at link time, so that a use of the C++ runtime
  # shows; a sanitizer's run-time comes from the program instead.
  if(NOT CMAKE_CXX_FLAGS MATCHES "-fsanitize")
    target_link_options(onymix_shared PRIVATE -Wl,--no-undefined)
  endif()
  set_target_properties(onymix_shared PROPERTIES LINK_DEPENDS ${CMAKE_SOURCE_DIR}/lib/onymix.map)
endif()

# The static library. On ELF systems its objects are first linked into one,
# and every hidden symbol of that one made local, so that nothing but the
# onymix_* functions can clash with a name of the program it is linked into.
set(onymix_archive ${CMAKE_BINARY_DIR}/libonymix.a)
if(NOT WIN32)
  set(onymix_combined ${CMAKE_BINARY_DIR}/CMakeFiles/onymix_static.dir/onymix.o)
  add_custom_command(
    OUTPUT ${onymix_archive}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/CMakeFiles/onymix_static.dir
    COMMAND ${CMAKE_LINKER} -r -o ${onymix_combined} $<TARGET_OBJECTS:onymix_objects>
    COMMAND ${CMAKE_OBJCOPY} --localize-hidden ${onymix_combined}
    COMMAND ${CMAKE_COMMAND} -E remove -f ${onymix_archive}
    COMMAND ${CMAKE_AR} qcD ${onymix_archive} ${onymix_combined}
    COMMAND ${CMAKE_RANLIB} -D ${onymix_archive}
    DEPENDS $<TARGET_OBJECTS:onymix_objects>
    COMMAND_EXPAND_LISTS
    COMMENT "Making libonymix.a")
  add_custom_target(onymix_archive ALL DEPENDS ${onymix_archive})
  add_dependencies(onymix_archive onymix_objects)
  add_library(onymix_static STATIC IMPORTED GLOBAL)
  set_target_properties(onymix_static PROPERTIES
    IMPORTED_LOCATION ${onymix_archive}
    INTERFACE_INCLUDE_DIRECTORIES ${CMAKE_SOURCE_DIR}/include)
  add_dependencies(onymix_static onymix_archive)
else()
  add_library(onymix_static STATIC $<TARGET_OBJECTS:onymix_objects>)
  target_include_directories(onymix_static PUBLIC ${CMAKE_SOURCE_DIR}/include)
  set_target_properties(onymix_static PROPERTIES OUTPUT_NAME onymix LINKER_LANGUAGE C)
endif()

# cmake --install: the header, both libraries, onymix.pc, the CMake package
# (find_package(onymix) gives onymix::onymix, and onymix::onymix_static) and
# the manual page.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)
install(FILES include/onymix.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS onymix_shared EXPORT onymix_targets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
if(TARGET onymix_archive)
  install(FILES ${onymix_archive} DESTINATION ${CMAKE_INSTALL_LIBDIR})
else()
  install(TARGETS onymix_static ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
endif()
set(onymix_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/onymix)
install(EXPORT onymix_targets NAMESPACE onymix:: FILE onymix-targets.cmake
  DESTINATION ${onymix_cmake_dir})
configure_package_config_file(cmake/onymix-config.cmake.in
  ${CMAKE_BINARY_DIR}/generated/onymix-config.cmake
  INSTALL_DESTINATION ${onymix_cmake_dir}
  PATH_VARS CMAKE_INSTALL_LIBDIR)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/generated/onymix-config-version.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/generated/onymix-config.cmake
  ${CMAKE_BINARY_DIR}/generated/onymix-config-version.cmake
  DESTINATION ${onymix_cmake_dir})
# The prefix is found from the file's own place, so an installed tree can
# be moved.
file(RELATIVE_PATH onymix_pc_to_prefix /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" onymix_pc_to_prefix "${onymix_pc_to_prefix}")
configure_file(cmake/onymix.pc.in ${CMAKE_BINARY_DIR}/generated/onymix.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/generated/onymix.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
if(NOT WIN32)
  install(FILES man/onymix.3 DESTINATION ${CMAKE_INSTALL_MANDIR}/man3)
endif()
