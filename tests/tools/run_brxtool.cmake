# Runs the real brxtool program on real files, end to end: a build from JSON,
# the dump of the result compared with that JSON, check, the listing, and the
# exit codes of an error and of a usage error.
# cmake -DTOOL=<program> [-DEMULATOR=<wrapper>] -DSAMPLE=<json> -DWORK=<folder> -P run_brxtool.cmake

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

# run_tool(EXPECTED_CODE OUT_VAR ERR_VAR ARGS...)
function(run_tool expected out_var err_var)
  execute_process(COMMAND ${EMULATOR} "${TOOL}" ${ARGN}
                  RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 60)
  # A Windows console program writes its lines with CR LF.
  string(REPLACE "\r\n" "\n" out "${out}")
  string(REPLACE "\r\n" "\n" err "${err}")
  if(NOT code STREQUAL "${expected}")
    message(FATAL_ERROR "brxtool ${ARGN}: exit code ${code}, expected ${expected}\n"
                        "stdout:\n${out}\nstderr:\n${err}")
  endif()
  set(${out_var} "${out}" PARENT_SCOPE)
  set(${err_var} "${err}" PARENT_SCOPE)
endfunction()

function(expect_equal what actual expected)
  if(NOT actual STREQUAL expected)
    message(FATAL_ERROR "${what}:\n--- got\n${actual}\n--- expected\n${expected}")
  endif()
endfunction()

run_tool(0 out err --version)
expect_equal("--version" "${out}" "brxtool ${VERSION}\n")

set(brx "${WORK}/sample.brx")
run_tool(0 out err build "${SAMPLE}" "${brx}")
file(SIZE "${brx}" size)
expect_equal("size of the built file" "${size}" "112")

run_tool(0 out err dump --json "${brx}")
file(READ "${SAMPLE}" sample)
expect_equal("dump --json of the built file" "${out}" "${sample}")

run_tool(0 out err check "${brx}")
expect_equal("check" "${out}" "ok: 2 structures, 2 tiles\n")

run_tool(0 out err dump "${brx}")
string(FIND "${out}" "  Flags: 0x80080801 (BaseTile, Wire Fence, Door, Person)\n" found)
if(found EQUAL -1)
  message(FATAL_ERROR "the listing lacks the structure's flags:\n${out}")
endif()

file(WRITE "${WORK}/bad.json" "{\"structures\": [{\"Armour\": 1}]}")
run_tool(1 out err build "${WORK}/bad.json" "${WORK}/bad.brx")
string(FIND "${err}" "structures[0]" found)
if(found EQUAL -1 OR NOT out STREQUAL "" OR EXISTS "${WORK}/bad.brx")
  message(FATAL_ERROR "a failed build: stdout '${out}', stderr '${err}'")
endif()

run_tool(2 out err dump)
string(FIND "${err}" "dump takes 1 file" found)
if(found EQUAL -1)
  message(FATAL_ERROR "a usage error: stderr '${err}'")
endif()

file(REMOVE_RECURSE "${WORK}")
