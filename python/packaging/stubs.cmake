# Type stubs for the Python package, written from the class catalogue by velmira-stubs at build
# time into <build>/python/velmira (__init__.pyi and py.typed), beside the package's modules.
include_guard(GLOBAL)

add_executable(velmira_stubs ${CMAKE_CURRENT_LIST_DIR}/velmira_stubs.cpp)
set_target_properties(velmira_stubs PROPERTIES OUTPUT_NAME velmira-stubs)
target_link_libraries(velmira_stubs PRIVATE velmira::velmira)
target_compile_options(velmira_stubs PRIVATE -Wall -Wextra -Wpedantic)

set(velmira_stub_dir ${CMAKE_CURRENT_BINARY_DIR}/velmira)
set(velmira_stub_head ${CMAKE_CURRENT_LIST_DIR}/velmira_head.pyi)
add_custom_command(
  OUTPUT ${velmira_stub_dir}/__init__.pyi ${velmira_stub_dir}/py.typed
  COMMAND ${CMAKE_COMMAND} -E make_directory ${velmira_stub_dir}
  COMMAND velmira_stubs ${velmira_stub_head} ${velmira_stub_dir}
  DEPENDS velmira_stubs ${velmira_stub_head}
  COMMENT "Writing the Python type stubs from the catalogue")
add_custom_target(velmira_python_stubs ALL
                  DEPENDS ${velmira_stub_dir}/__init__.pyi ${velmira_stub_dir}/py.typed)

# The stubs against the package as built: the same names, members, iteration and len().
if(VELMIRA_BUILD_TESTS)
  add_test(NAME velmira_python_stubs_match
           COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/check_stubs.py)
  set_tests_properties(velmira_python_stubs_match PROPERTIES
                       ENVIRONMENT "${VELMIRA_PYTHON_TEST_ENV};PYTHONPATH=${CMAKE_CURRENT_BINARY_DIR}")
endif()
