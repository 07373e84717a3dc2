# Builds a plain C client of the public headers as strict C99, as C11 and as C++17, links it against
# the built libraries, runs it and compares the record sizes and member offsets it prints with the
# layout that callers of the libraries rely on.
#
# Run as: cmake -DBINARY_DIR=<build> -DSOURCE_DIR=<source> -DCMAKE_C_COMPILER=<cc>
#               [-DCMAKE_CXX_COMPILER=<c++>] -P c_header_test.cmake

cmake_minimum_required(VERSION 3.16)

foreach(var BINARY_DIR SOURCE_DIR CMAKE_C_COMPILER)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

set(lib_dir ${BINARY_DIR}/lib)
set(work_dir ${BINARY_DIR}/c_header_test)
file(REMOVE_RECURSE ${work_dir})
file(MAKE_DIRECTORY ${work_dir}/scratch)
foreach(library formstore sitepaths)
  if(NOT EXISTS ${lib_dir}/lib${library}.so)
    message(FATAL_ERROR "${lib_dir}/lib${library}.so has not been built")
  endif()
endforeach()

# Loading the library asks the directory service for its work directory; keep it in the build tree.
set(ENV{SITEPATHS_WORK_DIR} ${work_dir}/scratch/)
set(ENV{TMPDIR} ${work_dir}/scratch)

set(link_flags -L${lib_dir} -lformstore -lsitepaths -Wl,-rpath,${lib_dir})
set(defines "")
if(EXISTS ${lib_dir}/libdocstore.so)
  set(link_flags -L${lib_dir} -ldocstore ${link_flags})
  set(defines -DQSTORE_WITH_DOCSTORE)
endif()

# Name, then expected value; the handle's layout depends on the pointer size and is added below.
set(expected
  QfaCreateForm linked
  FontSpec 38 FontSpec.Value5 33 FontSpec.ValueC 37
  FormInf 71 DocInf 71 FormInf.Title 1
  FormInf.TemplateName 42 FormInf.ReadOrder 61
  FormDateTime 7 DocDateTime 7
  FormDateTime.Month 2 FormDateTime.Second 6
  PageInf 2 PageInf.Flag2 1
  ChartInf 30 ChartInf.Left 1 ChartInf.Rows 17
  ChartInf.RowHight 21 ChartInf.LineStyle 23
  ChartInf.LineParam 24 ChartInf.LineColor 26
  ChartCell 60 ChartCell.Font 1 ChartCell.Attr 39
  ChartCell.Color1 51 ChartCell.Mode 55 ChartCell.Color2 56
  ChartLine 7 ChartLine.Param 1 ChartLine.Color 3
  Text 76 FreCell 76 Text.Bottom 13 Text.Font 17
  Text.Attr 55 Text.Color1 67 Text.Mode 71 Text.Color2 72
  Figure 37 Figure.Param 2 Figure.Color1 4 Figure.Fill 8
  Figure.Color2 9 Figure.Geometry 13
  InsFigure 37 InsFigure.Mode 36
  FieldControl 58 FieldControl.PrgTitle 13 FieldControl.PrgKind 54
  FieldControl.UserMode 56 FieldControl.PageMode 57
  FieldStruct 40 FieldStruct.StructName 2 FieldStruct.StructKind 35
  FieldStruct.ParentId 36 FieldStruct.TopId 38
  Field 41 Field.FieldName 2 Field.DataType 35
  Field.FieldSize 36 Field.ParentId 37 Field.TopId 39
  FieldForm 7 FieldForm.FormD 4 FieldForm.FormF 6
  LayoutPos 8 LayoutPos.Col 2 LayoutPos.Mode 4
  LayoutPos.Extent 5 LayoutPos.Reserved 7)
if(defines)
  list(APPEND expected QdaCreateDoc linked)
endif()

set(failures "")

# Compiles the client with compiler and flags into executable, runs it and checks what it prints.
function(build_and_check label compiler)
  set(executable ${work_dir}/c_client_${label})
  execute_process(
    COMMAND ${compiler} ${ARGN} -I${SOURCE_DIR}/include ${defines}
            ${SOURCE_DIR}/tests/data/c_client.c -o ${executable} ${link_flags}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    set(failures "${failures}\n${label}: the client does not build:\n${out}${err}" PARENT_SCOPE)
    return()
  endif()
  execute_process(COMMAND ${executable} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    set(failures "${failures}\n${label}: the client failed (${rc}):\n${out}${err}" PARENT_SCOPE)
    return()
  endif()

  string(REPLACE "\n" ";" lines "${out}")
  set(printed "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^([^=]+)=(.*)$")
      set(value_${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
      list(APPEND printed ${CMAKE_MATCH_1})
    endif()
  endforeach()

  set(want ${expected})
  set(pointer ${value_pointer})
  math(EXPR handle_size "${pointer} * 2")
  list(APPEND want FormHandle ${handle_size} FormHandle.CurPage ${pointer}
                   DocHandle ${handle_size} DocHandle.CurPage ${pointer})
  set(result "${failures}")
  list(LENGTH want count)
  math(EXPR last "${count} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET want ${i} name)
    list(GET want ${j} value)
    if(NOT name IN_LIST printed)
      string(APPEND result "\n${label}: ${name} not printed")
    elseif(NOT value_${name} STREQUAL value)
      string(APPEND result "\n${label}: ${name} is ${value_${name}}, expected ${value}")
    endif()
  endforeach()
  set(failures "${result}" PARENT_SCOPE)
endfunction()

set(strict -Wall -Wextra -Werror -pedantic)
build_and_check(c99 ${CMAKE_C_COMPILER} -std=c99 ${strict} -Wstrict-prototypes)
build_and_check(c11 ${CMAKE_C_COMPILER} -std=c11 ${strict} -Wstrict-prototypes)
if(CMAKE_CXX_COMPILER)
  build_and_check(cxx17 ${CMAKE_CXX_COMPILER} -x c++ -std=c++17 ${strict})
endif()

if(failures)
  message(FATAL_ERROR "C header check failed:${failures}")
endif()
message(STATUS "the headers build as C99, C11 and C++ and give the expected layout")
