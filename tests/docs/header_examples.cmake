# Writes one C++ (or C) source per public header from the usage block in the header's opening
# comment, the lines indented by three spaces after the comment marker, so that building the
# sources checks that every header's example compiles. Internal headers (in internal/ or opening
# with "Internal:") are left out. Run at configure time:
#   cmake -DINCLUDE_DIR=... -DOUTPUT_DIR=... -P header_examples.cmake
cmake_minimum_required(VERSION 3.25)  # script mode: today's list semantics
file(GLOB_RECURSE headers RELATIVE ${INCLUDE_DIR} ${INCLUDE_DIR}/velmira/*.h)
file(REMOVE_RECURSE ${OUTPUT_DIR})
set(written "")
foreach(header ${headers})
  if(header MATCHES "/internal/")
    continue()
  endif()
  file(STRINGS ${INCLUDE_DIR}/${header} lines)
  list(GET lines 0 first)
  if(first MATCHES "^// Internal:")
    continue()
  endif()
  # Code is a run of indented lines that starts after an empty comment line (an indented line
  # after text continues a list item). "..." stands for code the reader fills in: "{ ... }" and
  # any other "..." become "{}".
  set(code "")
  set(c_header OFF)
  set(in_code OFF)
  set(after_blank OFF)
  foreach(line IN LISTS lines)
    if(line MATCHES "^#")  # the opening comment ends where the preprocessor starts
      break()
    endif()
    if(line MATCHES "^/\\* ")
      set(c_header ON)
    endif()
    set(indented "")
    if(line MATCHES "^//   (.*)$")
      set(indented "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^ \\*   (.*)$")
      set(indented "${CMAKE_MATCH_1}")
    endif()
    if(NOT indented STREQUAL "" AND (in_code OR after_blank))
      set(in_code ON)
      string(REPLACE "{ ... }" "{}" indented "${indented}")
      string(REPLACE "..." "{}" indented "${indented}")
      string(APPEND code "  ${indented}\n")
    else()
      set(in_code OFF)
    endif()
    if(line MATCHES "^(//| \\*)$")
      set(after_blank ON)
    else()
      set(after_blank OFF)
    endif()
  endforeach()
  if(code STREQUAL "")
    message(FATAL_ERROR "${header} has no usage block (lines indented three spaces after //)")
  endif()
  string(MAKE_C_IDENTIFIER ${header} name)
  if(c_header)
    set(source ${OUTPUT_DIR}/${name}.c)
    file(WRITE ${source} "/* From the usage block of ${header}. */\n#include <stddef.h>\n"
         "#include <stdint.h>\n#include \"${header}\"\nvoid ${name}(void);\n"
         "void ${name}(void) {\n${code}}\n")
  else()
    set(source ${OUTPUT_DIR}/${name}.cpp)
    file(WRITE ${source} "// From the usage block of ${header}.\n#include \"${header}\"\n"
         "#include \"header_example_context.h\"\n"
         "namespace {\n[[maybe_unused]] void Example() {\n${code}}\n}  // namespace\n")
  endif()
  list(APPEND written ${source})
endforeach()
file(WRITE ${OUTPUT_DIR}/sources.cmake "set(header_example_sources ${written})\n")
