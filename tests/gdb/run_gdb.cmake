# Runs PROGRAM under gdb in batch mode with SCRIPT, allowing auto-load from LIBDIR only, and
# checks the printed values against EXPECTED: one regular expression per line, matched in order
# against the lines that start with '$'.
execute_process(
  COMMAND ${GDB} -nx -batch -iex "add-auto-load-safe-path ${LIBDIR}" -x ${SCRIPT} ${PROGRAM}
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE result)
string(REGEX MATCHALL "\n\\$[0-9]+ = [^\n]*" printed "${out}")
file(STRINGS ${EXPECTED} patterns)
list(LENGTH patterns wanted)
list(LENGTH printed got)
if(NOT wanted EQUAL got)
  message(FATAL_ERROR "gdb printed ${got} values, expected ${wanted}:\n${out}\n${err}")
endif()
foreach(i RANGE 1 ${wanted})
  math(EXPR at "${i} - 1")
  list(GET patterns ${at} pattern)
  list(GET printed ${at} line)
  string(STRIP "${line}" line)
  if(NOT line MATCHES "^\\$[0-9]+ = ${pattern}$")
    message(FATAL_ERROR "value ${i}:\n  printed  ${line}\n  expected ${pattern}")
  endif()
endforeach()
message(STATUS "gdb printed ${got} values as expected")
