# Installs the built library to PREFIX and checks the installed files: the shared library's
# version links, the tools, and a client compiled and linked with nothing but pkg-config's flags
# that runs as it is.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "failed (${result}): ${ARGN}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${PREFIX} ${WORK})
file(MAKE_DIRECTORY ${WORK})
run(${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${PREFIX})

set(ENV{PKG_CONFIG_PATH} ${PREFIX}/${LIBDIR}/pkgconfig)
run(pkg-config --modversion velmira)
if(NOT out STREQUAL VERSION)
  message(FATAL_ERROR "pkg-config reports version '${out}', expected '${VERSION}'")
endif()
run(pkg-config --variable=libdir velmira)
set(libdir ${out})

# libvelmira.so -> libvelmira.so.<major> -> libvelmira.so.<version>
file(READ_SYMLINK ${libdir}/libvelmira.so dev_link)
file(READ_SYMLINK ${libdir}/${dev_link} soname_link)
if(NOT dev_link STREQUAL "libvelmira.so.${SOVERSION}" OR
   NOT soname_link STREQUAL "libvelmira.so.${VERSION}" OR NOT EXISTS ${libdir}/${soname_link})
  message(FATAL_ERROR "version links: libvelmira.so -> ${dev_link} -> ${soname_link}")
endif()
run(${PREFIX}/bin/velmira-words --version)
if(NOT out STREQUAL "velmira-words ${VERSION}")
  message(FATAL_ERROR "installed velmira-words says '${out}'")
endif()

run(pkg-config --cflags --libs velmira)
separate_arguments(flags UNIX_COMMAND "${out}")
separate_arguments(cxx_flags UNIX_COMMAND "${CXX_FLAGS}")
# Exactly the guide's command: the run path comes from velmira.pc, and the program runs with no
# LD_LIBRARY_PATH.
run(${CXX} ${cxx_flags} ${CONSUMER_SOURCE}/main.cpp ${flags} -o ${WORK}/consumer)
run(${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH ${WORK}/consumer)
