# Installs the build into a scratch prefix and builds an outside program against the installed tree
# only: once through the CMake packages (find_package(formstore), and docstore when it is built) and
# once through pkg-config when pkg-config is present. Both programs must link and run.
#
# Run as: cmake -DBINARY_DIR=<build> -DSOURCE_DIR=<source> -DCMAKE_C_COMPILER=<cc>
#               -P install_test.cmake

cmake_minimum_required(VERSION 3.16)

foreach(var BINARY_DIR SOURCE_DIR CMAKE_C_COMPILER)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

set(work_dir ${BINARY_DIR}/install_test)
set(prefix ${work_dir}/prefix)
file(REMOVE_RECURSE ${work_dir})
file(MAKE_DIRECTORY ${work_dir}/scratch)

# Loading a library asks the directory service for its work directory; keep it in the build tree.
set(ENV{SITEPATHS_WORK_DIR} ${work_dir}/scratch/)
set(ENV{TMPDIR} ${work_dir}/scratch)

# Runs a command and stops the test with its output when it fails; the output goes to out_var.
function(run_checked what out_var)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed (${rc}):\n${out}\n${err}")
  endif()
  set(${out_var} "${out}" PARENT_SCOPE)
endfunction()

# Checks that the program's output names the record size and a linked export.
function(expect_output what output)
  foreach(line IN LISTS ARGN)
    string(FIND "${output}" "${line}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${what} printed\n${output}\nwithout \"${line}\"")
    endif()
  endforeach()
endfunction()

run_checked("cmake --install" ignored ${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${prefix})

# The library directory is lib, lib64 or lib/<multiarch> depending on the system.
file(GLOB_RECURSE installed_formstore LIST_DIRECTORIES false ${prefix}/libformstore.so)
list(LENGTH installed_formstore found)
if(NOT found EQUAL 1)
  message(FATAL_ERROR "libformstore.so is not installed (once) under ${prefix}")
endif()
get_filename_component(lib_dir ${installed_formstore} DIRECTORY)

set(with_docstore OFF)
if(EXISTS ${BINARY_DIR}/lib/libdocstore.so)
  set(with_docstore ON)
endif()

# The shared libraries come with their SONAME links, the headers with the records they share.
set(installed
  ${lib_dir}/libformstore.so.1 ${lib_dir}/libsitepaths.so ${lib_dir}/libsitepaths.so.1
  ${prefix}/include/formstore.h ${prefix}/include/qstore_records.h
  ${lib_dir}/cmake/formstore/formstoreConfig.cmake
  ${lib_dir}/cmake/formstore/formstoreConfigVersion.cmake
  ${lib_dir}/pkgconfig/formstore.pc)
set(expected_output "FormInf=71 linked")
if(with_docstore)
  list(APPEND installed
    ${lib_dir}/libdocstore.so ${lib_dir}/libdocstore.so.1 ${prefix}/include/docstore.h
    ${lib_dir}/cmake/docstore/docstoreConfig.cmake ${lib_dir}/pkgconfig/docstore.pc)
  list(APPEND expected_output "DocInf=71 linked")
endif()
# The character-check plug-in, its master tables and the directory-service configuration that
# names where they are.
if(EXISTS ${BINARY_DIR}/lib/libchargate.so)
  set(settings_dir ${prefix}/share/qstore)
  list(APPEND installed ${lib_dir}/libchargate.so ${settings_dir}/prohibit.ini
    ${settings_dir}/pbrepl.csv ${settings_dir}/sitepaths.ini)
  foreach(table prohibit.ini pbrepl.csv)
    file(READ ${SOURCE_DIR}/chargate/data/${table} want HEX)
    file(READ ${settings_dir}/${table} got HEX)
    if(NOT got STREQUAL want)
      message(FATAL_ERROR "${settings_dir}/${table} differs from the master")
    endif()
  endforeach()
  file(READ ${settings_dir}/sitepaths.ini config)
  if(NOT config STREQUAL "[sitepaths]\nSharedDir=${settings_dir}/\n")
    message(FATAL_ERROR "sitepaths.ini does not name ${settings_dir}/:\n${config}")
  endif()
endif()
foreach(file IN LISTS installed)
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "${file} is not installed")
  endif()
endforeach()

# Through the CMake packages, with nothing but the installed prefix to search.
set(consumer_build ${work_dir}/consumer-build)
run_checked("configuring the consumer" ignored
  ${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/data/consumer -B ${consumer_build}
  -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF
  -DCMAKE_C_COMPILER=${CMAKE_C_COMPILER} -DWITH_DOCSTORE=${with_docstore})
run_checked("building the consumer" ignored ${CMAKE_COMMAND} --build ${consumer_build})
run_checked("running the consumer" output ${consumer_build}/consumer)
expect_output("the CMake-built consumer" "${output}" ${expected_output})

# Through pkg-config.
find_program(PKG_CONFIG NAMES pkg-config pkgconf)
if(NOT PKG_CONFIG)
  message(STATUS "pkg-config not found: the pkg-config build is skipped")
  return()
endif()
set(ENV{PKG_CONFIG_PATH} ${lib_dir}/pkgconfig)
set(modules formstore)
set(defines "")
if(with_docstore)
  list(APPEND modules docstore)
  set(defines -DQSTORE_WITH_DOCSTORE)
endif()
run_checked("pkg-config" flags ${PKG_CONFIG} --cflags --libs ${modules})
string(STRIP "${flags}" flags)
separate_arguments(flags UNIX_COMMAND "${flags}")
set(pc_consumer ${work_dir}/pc-consumer)
run_checked("compiling with pkg-config's flags" ignored
  ${CMAKE_C_COMPILER} -std=c99 -Wall -Wextra -Werror ${defines}
  ${SOURCE_DIR}/tests/data/consumer/main.c -o ${pc_consumer} ${flags} -Wl,-rpath,${lib_dir})
run_checked("running the pkg-config consumer" output ${pc_consumer})
expect_output("the pkg-config consumer" "${output}" ${expected_output})

message(STATUS "the installed tree serves CMake and pkg-config consumers")
