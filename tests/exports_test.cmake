# Checks the dynamic symbol tables of the shared libraries against their export lists: a library
# may define no symbol beyond its exports (anything else is an internal leaking out, and a clash
# waiting to happen in the caller's process), and the public headers must declare every export.
#
# Run as: cmake -DBINARY_DIR=<build> -DSOURCE_DIR=<source> -P exports_test.cmake
# With the environment variable QSTORE_REQUIRE_ALL_EXPORTS=1 an export that a library does not
# define is a failure too; otherwise it is listed only.

cmake_minimum_required(VERSION 3.16)

foreach(var BINARY_DIR SOURCE_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

find_program(NM NAMES nm)
if(NOT NM)
  message(FATAL_ERROR "nm not found: cannot read the dynamic symbol tables")
endif()

set(failures "")

# Markers the linker defines in every shared object.
set(LINKER_MARKERS _init _fini _edata _end __bss_start __bss_start__ __bss_end__ _bss_end__ __end__)

# Reads the list file into out_var, checking it has no blanks or repeats.
function(read_name_list file out_var)
  file(STRINGS ${file} names)
  list(LENGTH names count)
  set(unique ${names})
  list(REMOVE_DUPLICATES unique)
  list(LENGTH unique unique_count)
  if(NOT count EQUAL unique_count)
    message(FATAL_ERROR "${file} repeats a name")
  endif()
  set(${out_var} ${names} PARENT_SCOPE)
endfunction()

# Sets out_var to the names of the symbols that library defines in its dynamic symbol table.
function(defined_dynamic_symbols library out_var)
  execute_process(COMMAND ${NM} -D --defined-only ${library}
    OUTPUT_VARIABLE output ERROR_VARIABLE error RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "nm -D ${library} failed: ${error}")
  endif()
  string(REPLACE "\n" ";" lines "${output}")
  set(names "")
  foreach(line IN LISTS lines)
    # "<address> <type> <name>"; version nodes come as type A and are not symbols of the code.
    if(line MATCHES "^[0-9a-fA-F]* *([A-Za-z]) ([^ @]+)")
      set(type ${CMAKE_MATCH_1})
      set(name ${CMAKE_MATCH_2})
      if(NOT type STREQUAL "A" AND NOT name IN_LIST LINKER_MARKERS)
        list(APPEND names ${name})
      endif()
    endif()
  endforeach()
  set(${out_var} ${names} PARENT_SCOPE)
endfunction()

# Compares what library defines with the allowed names. Extra symbols always fail; missing ones
# fail when require_all is set.
function(check_library library allowed require_all)
  get_filename_component(short ${library} NAME)
  defined_dynamic_symbols(${library} defined)
  set(extra "")
  foreach(name IN LISTS defined)
    if(NOT name IN_LIST allowed)
      list(APPEND extra ${name})
    endif()
  endforeach()
  set(missing "")
  foreach(name IN LISTS allowed)
    if(NOT name IN_LIST defined)
      list(APPEND missing ${name})
    endif()
  endforeach()
  list(LENGTH defined defined_count)
  message(STATUS "${short}: ${defined_count} defined symbols")
  set(result "${failures}")
  if(extra)
    string(REPLACE ";" " " text "${extra}")
    string(APPEND result "\n${short} defines symbols that are not exports: ${text}")
  endif()
  if(missing)
    string(REPLACE ";" " " text "${missing}")
    if(require_all)
      string(APPEND result "\n${short} lacks exports: ${text}")
    else()
      list(LENGTH missing missing_count)
      message(STATUS "${short} does not define ${missing_count} exports yet: ${text}")
    endif()
  endif()
  set(failures "${result}" PARENT_SCOPE)
endfunction()

# Every name of the list is declared in the header as a function, and the header declares no
# function that the list lacks.
function(check_header header allowed prefix)
  get_filename_component(short ${header} NAME)
  file(READ ${header} text)
  string(REGEX MATCHALL "QSTORE_CALL[ \t\n]+${prefix}[A-Za-z0-9_]*[ \t\n]*\\(" declarations "${text}")
  set(declared "")
  foreach(declaration IN LISTS declarations)
    string(REGEX REPLACE "^QSTORE_CALL[ \t\n]+([A-Za-z0-9_]+).*" "\\1" name "${declaration}")
    list(APPEND declared ${name})
  endforeach()
  set(undeclared "")
  foreach(name IN LISTS allowed)
    if(NOT name IN_LIST declared)
      list(APPEND undeclared ${name})
    endif()
  endforeach()
  set(unlisted "")
  foreach(name IN LISTS declared)
    if(NOT name IN_LIST allowed)
      list(APPEND unlisted ${name})
    endif()
  endforeach()
  set(result "${failures}")
  if(undeclared)
    string(REPLACE ";" " " names "${undeclared}")
    string(APPEND result "\n${short} does not declare: ${names}")
  endif()
  if(unlisted)
    string(REPLACE ";" " " names "${unlisted}")
    string(APPEND result "\n${short} declares functions that are not exports: ${names}")
  endif()
  set(failures "${result}" PARENT_SCOPE)
endfunction()

set(require_all FALSE)
if("$ENV{QSTORE_REQUIRE_ALL_EXPORTS}" STREQUAL "1")
  set(require_all TRUE)
endif()

read_name_list(${SOURCE_DIR}/tests/data/formstore_exports.txt formstore_exports)
read_name_list(${SOURCE_DIR}/tests/data/docstore_exports.txt docstore_exports)
list(LENGTH formstore_exports formstore_count)
list(LENGTH docstore_exports docstore_count)
if(NOT formstore_count EQUAL 109 OR NOT docstore_count EQUAL 85)
  message(FATAL_ERROR
    "export lists hold ${formstore_count} and ${docstore_count} names, expected 109 and 85")
endif()

check_header(${SOURCE_DIR}/include/formstore.h "${formstore_exports}" Qfa)
check_header(${SOURCE_DIR}/include/docstore.h "${docstore_exports}" Qda)

set(formstore_library ${BINARY_DIR}/lib/libformstore.so)
if(NOT EXISTS ${formstore_library})
  message(FATAL_ERROR "${formstore_library} has not been built")
endif()
check_library(${formstore_library} "${formstore_exports}" ${require_all})

set(docstore_library ${BINARY_DIR}/lib/libdocstore.so)
if(EXISTS ${docstore_library})
  check_library(${docstore_library} "${docstore_exports}" ${require_all})
endif()

# The directory service is complete on its own: exactly its five functions.
set(sitepaths_library ${BINARY_DIR}/lib/libsitepaths.so)
if(NOT EXISTS ${sitepaths_library})
  message(FATAL_ERROR "${sitepaths_library} has not been built")
endif()
set(sitepaths_exports
  SitePathsWorkDir SitePathsFormDirs SitePathsPluginDir SitePathsSharedDir SitePathsUserDir)
check_library(${sitepaths_library} "${sitepaths_exports}" TRUE)

# The character-check plug-in is found by name at run time: its four entry points, nothing else.
set(chargate_library ${BINARY_DIR}/lib/libchargate.so)
if(EXISTS ${chargate_library})
  check_library(${chargate_library} "PsInit;PsGroupLoad;PsCheckSubst;PsFini" TRUE)
endif()

if(failures)
  message(FATAL_ERROR "export check failed:${failures}")
endif()
message(STATUS "exports match their lists")
