# Runs the qstore tool the way a person or a script does: the demo into a scratch directory, then
# every command on what it made, reading the output back (JSON parsed, SVG checked as XML), and
# every error path with its exit status and message. Commands whose library exports this build
# lacks are checked to say so.
#
# Run as: cmake -DBINARY_DIR=<build> -DSOURCE_DIR=<source> -P qstore_tool_test.cmake

cmake_minimum_required(VERSION 3.19)

foreach(var BINARY_DIR SOURCE_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

set(qstore ${BINARY_DIR}/bin/qstore)
set(work ${BINARY_DIR}/qstore_tool_test)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work}/scratch)
set(ENV{SITEPATHS_WORK_DIR} ${work}/scratch/)
set(ENV{TMPDIR} ${work}/scratch)
unset(ENV{SITEPATHS_BASE_DIR})
unset(ENV{SITEPATHS_FLAT_DIR})
set(failures "")

find_program(XMLLINT xmllint)
if(NOT XMLLINT)
  message(FATAL_ERROR "xmllint not found (package libxml2-utils, installed by .ci/install-deps)")
endif()

# run(<exit status> <regex the output must match> <args>...): runs qstore in ${work}; stdout and
# stderr are matched together. Sets `out` in the caller.
function(run expected_status pattern)
  execute_process(COMMAND ${qstore} ${ARGN} WORKING_DIRECTORY ${work}
                  RESULT_VARIABLE status OUTPUT_VARIABLE stdout ERROR_VARIABLE stderr)
  set(text "${stdout}${stderr}")
  string(JOIN " " command ${ARGN})
  if(NOT "${status}" STREQUAL "${expected_status}")
    list(APPEND failures "qstore ${command}: exit ${status}, expected ${expected_status}:\n${text}")
  elseif(NOT text MATCHES "${pattern}")
    list(APPEND failures "qstore ${command}: output does not match '${pattern}':\n${text}")
  endif()
  set(failures "${failures}" PARENT_SCOPE)
  set(out "${stdout}" PARENT_SCOPE)
endfunction()

function(expect what actual expected)
  if(NOT "${actual}" STREQUAL "${expected}")
    list(APPEND failures "${what}: '${actual}', expected '${expected}'")
    set(failures "${failures}" PARENT_SCOPE)
  endif()
endfunction()

# xpath(<var> <file> <expression>): the string value of an XPath expression over an SVG.
function(xpath var file expression)
  execute_process(COMMAND ${XMLLINT} --xpath "${expression}" ${file}
                  RESULT_VARIABLE status OUTPUT_VARIABLE value ERROR_QUIET)
  string(STRIP "${value}" value)
  set(${var} "${value}" PARENT_SCOPE)
endfunction()

run(0 "qstore 1\\.0" --version)

# ---- The demo, and what it made ----
run(0 "every item matches.*the same bytes.*sample-p1\\.svg" demo demo)
string(REGEX MATCH "ledger saved and opened again: every page matches" seen "${out}")
expect("demo compares the ledger" "${seen}" "ledger saved and opened again: every page matches")
foreach(made sample.QFD sample-p1.svg logo.bmp scan.tif)
  if(NOT EXISTS ${work}/demo/${made})
    list(APPEND failures "the demo did not make ${made}")
  endif()
endforeach()

run(0 "sample\\.QFD: form.*name +\"月次報告書\".*fonts +ＭＳ ゴシック, ＭＳ 明朝.*3 pages.*page +1: 1 charts \\(14 cells\\), 1 texts, 1 free cells, 3 figures, 2 pictures"
    info demo/sample.QFD)
run(0 "page 1 \\(flags 0 0\\): 8 entries.*Seal \\\\xF0\\\\x40 stamp.*cell \\(5,1\\)-\\(5,2\\).*\"合計（税込）\""
    dump demo/sample.QFD --page 1)

# dump --json: parsed back; the same text twice (stable key order).
run(0 "" dump --json demo/sample.QFD)
set(json "${out}")
run(0 "" dump demo/sample.QFD --json)
expect("two JSON dumps" "${out}" "${json}")
string(JSON kind GET "${json}" kind)
string(JSON pages GET "${json}" page_count)
string(JSON listed LENGTH "${json}" pages)
string(JSON name GET "${json}" header name)
string(JSON head GET "${json}" pages 0 charts 0 cells 0 text)
string(JSON merged_last GET "${json}" pages 0 charts 0 cells 12 last_col)
string(JSON seal GET "${json}" pages 0 charts 0 cells 9 text)
string(JSON vline GET "${json}" pages 0 charts 0 vlines 4 1 style)
string(JSON own GET "${json}" header colors own)
string(JSON blue GET "${json}" header colors table 14)
string(JSON format GET "${json}" pages 0 pictures 0 format)
string(JSON unknown GET "${json}" pages 0 pictures 1 format)
string(JSON flags GET "${json}" pages 2 flags 0)
expect("kind" "${kind}" "form")
expect("page_count" "${pages}" "3")
expect("pages listed" "${listed}" "3")
expect("header name" "${name}" "月次報告書")
expect("cell (1,1)" "${head}" "品名")
expect("merged cell reaches column" "${merged_last}" "2")
expect("user-defined character escaped" "${seal}" "Seal \\xF0\\x40 stamp")
expect("the merged cells' line" "${vline}" "0")
expect("own colour table" "${own}" "ON")
expect("colour 14" "${blue}" "#80C0F0")
expect("picture format" "${format}" "bmp")
expect("unknown picture format" "${unknown}" "")
expect("page 3 flag" "${flags}" "1")
run(0 "" dump --json demo/sample.QFD --page 2)
string(JSON listed LENGTH "${out}" pages)
string(JSON number GET "${out}" pages 0 number)
expect("dump --page 2 pages" "${listed}" "1")
expect("dump --page 2 number" "${number}" "2")

# render: XML holding the chart's lines (none where the style is 0) and the cell texts.
run(0 "page2\\.svg" render demo/sample.QFD --page 2 -o page2.svg)
run(0 "sample-p1\\.svg" render demo/sample.QFD)
set(svg ${work}/demo/sample-p1.svg)
execute_process(COMMAND ${XMLLINT} --noout ${svg} RESULT_VARIABLE status ERROR_VARIABLE errors)
expect("SVG parses as XML" "${status}" "0")
xpath(vlines ${svg} "count(//*[local-name()='line'][@class='vline'])")
xpath(hlines ${svg} "count(//*[local-name()='line'][@class='hline'])")
xpath(gap ${svg} "count(//*[local-name()='line'][@class='vline'][@data-row='5'][@data-boundary='1'])")
xpath(head ${svg} "string(//*[local-name()='text'][@class='cell'][1])")
xpath(total ${svg} "count(//*[local-name()='text'][.='合計（税込）'])")
xpath(images ${svg} "count(//*[local-name()='image'][starts-with(@*[local-name()='href'],'data:image/bmp;base64,')])")
xpath(frames ${svg} "count(//*[local-name()='g'][@class='picture-frame'])")
xpath(figures ${svg} "count(//*[@class='figure'])")
expect("vertical lines drawn (5 rows x 4 boundaries, one taken away)" "${vlines}" "19")
expect("horizontal lines drawn" "${hlines}" "18")
expect("no line where the style is 0" "${gap}" "0")
expect("first cell text" "${head}" "品名")
expect("merged cell text" "${total}" "1")
expect("embedded bitmap" "${images}" "1")
expect("labelled frame" "${frames}" "1")
expect("figures" "${figures}" "3")

# ---- Error paths: exit status and message ----
file(WRITE ${work}/damaged.QFD "this is no form file at all")
run(1 "^qstore: missing\\.QFD: QfaOpenForm returned 100 \\(file not found\\)\n$" info missing.QFD)
run(1 "^qstore: damaged\\.QFD: QfaOpenForm returned 102 \\(damaged file or short record\\)\n$"
    dump damaged.QFD --json)
run(1 "^qstore: missing\\.QFD: QfaOpenForm returned 100" render missing.QFD)
run(1 "no page 9 \\(the file has 3 pages\\)" dump demo/sample.QFD --page 9)
run(1 "no page 4 \\(the file has 3 pages\\)" render demo/sample.QFD --page 4)
run(1 "--width 10 is outside" render demo/sample.QFD --width 10)
run(1 "cannot be written" render demo/sample.QFD -o no/such/dir/x.svg)
run(2 "A subcommand is required")
run(2 "FILE is required" info)
run(2 "not expected|unrecognized|extra" info demo/sample.QFD --bogus)
run(2 "excludes" info --form --doc demo/sample.QFD)
run(2 "--page" dump demo/sample.QFD --page 0)
run(2 "DOCS" concat out.QDD only-one.QDD)
foreach(command demo info dump render convert concat check fields)
  run(0 "Usage:.*${command}" ${command} --help)
endforeach()

# ---- Documents, conversion, concatenation and the check ----
run(0 "ledger\\.QDD: document.*299 pages" info demo/ledger.QDD)
run(0 "" dump --json demo/ledger.QDD --page 1)
string(JSON kind GET "${out}" kind)
string(JSON pages GET "${out}" page_count)
string(JSON moved GET "${out}" pages 0 texts 0 text)
expect("ledger kind" "${kind}" "document")
expect("ledger pages" "${pages}" "299")
expect("the last page moved to the front" "${moved}" "Ledger page 300")
run(0 "ledger-p1\\.svg" render demo/ledger.QDD -o ledger-p1.svg)
run(1 "^qstore: missing\\.QDD: QdaOpenDoc returned 100" info missing.QDD)
run(1 "QdaOpenDoc returned" info --doc damaged.QFD)

run(0 "converted\\.QDD" convert demo/sample.QFD converted.QDD)
file(READ ${work}/converted.QDD head LIMIT 2 HEX)
expect("the converted file starts with its header record" "${head}" "1b48")
run(0 "converted\\.QDD: document.*3 pages" info converted.QDD)
run(0 "" dump --json converted.QDD --page 1)
string(JSON head GET "${out}" pages 0 charts 0 cells 0 text)
string(JSON blank GET "${out}" pages 0 charts 0 cells 11 kind)
string(JSON template GET "${out}" header template)
expect("converted cell text" "${head}" "品名")
expect("an empty cell becomes an entry cell" "${blank}" "1")
expect("converted template name" "${template}" "sample.QFD")
run(1 "^qstore: missing\\.QFD: QfaConvertToDoc returned 100" convert missing.QFD x.QDD)

run(0 "twice\\.QDD: 598 pages" concat twice.QDD demo/ledger.QDD demo/ledger.QDD)
run(0 "598 pages" info twice.QDD)
run(1 "^qstore: missing\\.QDD: QdaOpenDoc returned 100" concat x.QDD demo/ledger.QDD missing.QDD)
run(0 "all\\.QDD: 601 pages" concat all.QDD converted.QDD demo/ledger.QDD demo/ledger.QDD)

set(ENV{SITEPATHS_SHARED_DIR} ${work}/demo/settings/)
set(ENV{SITEPATHS_USER_DIR} ${work}/user/)
run(3 "full-width alphanumerics found.*half-width katakana found" check converted.QDD --log check.log)
if(NOT EXISTS ${work}/check.log)
  list(APPEND failures "check --log wrote no log")
endif()
# A second check into the same log shows only the lines it added.
run(3 "half-width katakana found" check converted.QDD --log check.log)
string(REGEX MATCHALL "半角カタカナが含まれています" shown "${out}")
list(LENGTH shown shown)
expect("log lines of the second check" "${shown}" "1")
run(3 "外字・特殊文字“\\\\xF0\\\\x40\\(0xF040\\)”を置換しました.*user-defined or special characters replaced.*saved replaced\\.QDD"
    check converted.QDD --mask 8 --replace 8 --log replace.log -o replaced.QDD)
run(0 "nothing found" check replaced.QDD --mask 8)
run(1 "sums of 2, 4 and 8" check converted.QDD --mask 3)
set(ENV{SITEPATHS_SHARED_DIR} ${work}/nowhere/)
run(1 "QdaCheckReplaceTextAp2 returned -2009 \\(prohibit\\.ini not found" check converted.QDD)

# ---- Field templates ----
run(0 "program \"MONTHLY\" \"Monthly report\".*field 1 \"customer\" ST\\(40\\).*field 2 \"date\" DT\\(10\\), default form 3.*record 10 \"line\" \\(number 5\\).*field 11 \"item\" ST\\(20\\).*table 20 \"totals\".*field 22 \"sum\" RL\\(12\\)"
    fields demo/QFT/DEMO.QFT)
run(0 "template \"DEMO\".*field 11 \"item\" ST\\(20\\), placed 3x" fields demo/sample.QFD)
run(1 "^qstore: nothere\\.QFT: QfaGetFieldControlDirect returned 105" fields nothere.QFT)
# Structure ids are the template's own: one that names its own ancestor still ends the tree.
file(WRITE ${work}/loop.QFT "$PRGNAME=LOOP\n$TABLE=0,5,outer\n$SUBTBL=0,6,middle\n$CASE=0,5,inner\n"
                            "$FIELD=0,7,f,ST,4\n$/CASE\n$/SUBTBL\n$/TABLE\n")
run(0 "3 structures, 1 fields.*sub-table 6 \"middle\".*case 5 \"inner\"" fields loop.QFT)
# A form opens only with its template: elsewhere, without the template beside it, it cannot.
file(COPY ${work}/demo/sample.QFD DESTINATION ${work}/alone)
run(1 "^qstore: alone/sample\\.QFD: QfaOpenForm returned 105 \\(field-definition template not found"
    info alone/sample.QFD)
run(0 "placement of field 11 no 3 in chart 1 at \\(4,1\\)" dump demo/sample.QFD --page 2)

if(failures)
  string(REPLACE ";" "\n---\n" report "${failures}")
  message(FATAL_ERROR "qstore tool test failed:\n${report}")
endif()
message(STATUS "qstore tool test passed")
