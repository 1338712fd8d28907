# Runs a Windows program under the emulator and holds its standard output,
# line ends aside, to a golden file, all of it rather than a pattern.
#
# cmake -DEMULATOR=... -DPROGRAM=... -DARGS="a;b" -DEXPECTED=file -P check_output.cmake
execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${ARGS}
  OUTPUT_VARIABLE out RESULT_VARIABLE code)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} ${ARGS}: exit ${code}")
endif()
string(REPLACE "\r\n" "\n" out "${out}")
file(READ "${EXPECTED}" expected)
if(NOT out STREQUAL expected)
  message(FATAL_ERROR "${PROGRAM} ${ARGS}: not the names of ${EXPECTED}")
endif()
