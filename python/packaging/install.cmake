# Install rules of the Python package, included at the end of python/CMakeLists.txt once the
# extension's targets exist. Also generates the type stubs (stubs.cmake).
#
#   cmake --install build/default                       # everything, the package included
#   cmake --install build/default --component python    # the package alone
#
# Where the package goes: VELMIRA_PYTHON_INSTALL_DIR names the folder that receives `velmira/`;
# a relative path is taken under the install prefix. Left empty, it is the interpreter's
# site-packages (sysconfig's platlib for Python3_EXECUTABLE) relative to that interpreter's own
# prefix, placed under the install prefix: `lib/python3.11/dist-packages` for Debian's python3,
# whose prefix is /usr/local, CMake's default, so a plain `cmake --install` puts the package where
# that interpreter finds it. For a virtual environment's python, install with the environment as
# the prefix (`--prefix <venv>`). Being relative, it follows `cmake --install --prefix` and
# DESTDIR like the library's own files, so a staged install never writes outside its stage.
#
# How the installed extension finds the library: the package carries its own copy of the shared
# library (`velmira/libvelmira.so.N`, under its run-time name) and the extension's run path is
# `$ORIGIN`. The package is then whole wherever it lands, with no dependency on the prefix's lib
# folder, on LD_LIBRARY_PATH or on the C++ library being installed at all. A static library build
# has nothing to copy: the library is already inside the extension.
include_guard(GLOBAL)
include(${CMAKE_CURRENT_LIST_DIR}/stubs.cmake)

if(DEFINED VELMIRA_INSTALL AND NOT VELMIRA_INSTALL)
  return()
endif()

set(VELMIRA_PYTHON_INSTALL_DIR "" CACHE PATH
    "Folder that receives the velmira package; relative: under the install prefix; empty: chosen from the interpreter")

if(VELMIRA_PYTHON_INSTALL_DIR)
  set(velmira_site ${VELMIRA_PYTHON_INSTALL_DIR})
else()
  execute_process(
    COMMAND ${Python3_EXECUTABLE} -c
            "import sysconfig; print(sysconfig.get_path('platlib')); print(sysconfig.get_path('data'))"
    OUTPUT_VARIABLE velmira_paths OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  string(REPLACE "\n" ";" velmira_paths "${velmira_paths}")
  list(GET velmira_paths 0 velmira_platlib)
  list(GET velmira_paths 1 velmira_interpreter_prefix)
  file(RELATIVE_PATH velmira_site ${velmira_interpreter_prefix} ${velmira_platlib})
endif()
set(velmira_package_dir ${velmira_site}/velmira)
message(STATUS "Python package installs to ${velmira_package_dir}"
               " (relative paths are under the install prefix)")

# The package's files as the build leaves them in <build>/python/velmira: modules, stubs, marker.
install(DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/velmira/
        DESTINATION ${velmira_package_dir}
        COMPONENT python
        FILES_MATCHING PATTERN "*.py" PATTERN "*.pyi" PATTERN "py.typed"
        PATTERN "__pycache__" EXCLUDE)

# The extension modules: every module or shared library target defined under python/.
set(velmira_dirs ${CMAKE_CURRENT_SOURCE_DIR})
set(velmira_extensions "")
while(velmira_dirs)
  list(POP_FRONT velmira_dirs velmira_dir)
  get_property(velmira_targets DIRECTORY ${velmira_dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS velmira_targets)
    get_target_property(velmira_type ${target} TYPE)
    if(velmira_type STREQUAL "MODULE_LIBRARY" OR velmira_type STREQUAL "SHARED_LIBRARY")
      list(APPEND velmira_extensions ${target})
    endif()
  endforeach()
  get_property(velmira_subdirs DIRECTORY ${velmira_dir} PROPERTY SUBDIRECTORIES)
  list(APPEND velmira_dirs ${velmira_subdirs})
endwhile()
if(NOT velmira_extensions)
  message(WARNING "python/: no extension target found; the package installs without it")
endif()
foreach(target IN LISTS velmira_extensions)
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN")
  install(TARGETS ${target}
          LIBRARY DESTINATION ${velmira_package_dir} COMPONENT python
          RUNTIME DESTINATION ${velmira_package_dir} COMPONENT python)
endforeach()

# The shared library beside the extension, under the name the extension asks the loader for.
get_target_property(velmira_library_type velmira TYPE)
if(velmira_library_type STREQUAL "SHARED_LIBRARY")
  get_target_property(velmira_soversion velmira SOVERSION)
  set(velmira_soname
      ${CMAKE_SHARED_LIBRARY_PREFIX}velmira${CMAKE_SHARED_LIBRARY_SUFFIX}.${velmira_soversion})
  install(FILES $<TARGET_FILE:velmira>
          DESTINATION ${velmira_package_dir}
          RENAME ${velmira_soname}
          PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                      WORLD_READ WORLD_EXECUTE
          COMPONENT python)
endif()
