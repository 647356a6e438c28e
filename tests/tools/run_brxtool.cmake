# Runs the real brxtool program on real files, end to end, natively and under
# Wine alike: every output is compared byte for byte with the same committed
# files and texts, so that both builds are held to the same bytes (LF line
# ends, no CR anywhere, UTF-8, binary data through the standard streams
# untouched).
# cmake -DTOOL=<program> [-DEMULATOR=<wrapper> -DWINE_ENV=<script> -DWINE_PREFIX=<folder>]
#       -DDATA=<folder> -DVERSION=<version> -DWORK=<folder> -P run_brxtool.cmake

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(sample "${DATA}/sample.json")

# run_tool(EXPECTED_CODE [INPUT file] ARGS...): sets out and err in the caller,
# and leaves them in ${WORK}/out and ${WORK}/err as written.
function(run_tool expected)
  set(input /dev/null)
  set(command ${EMULATOR} "${TOOL}")
  if(ARGV1 STREQUAL "INPUT")
    set(input "${ARGV2}")
    list(REMOVE_AT ARGN 0 1)
    # The wrapper gives Wine programs no standard input; this runs the same way with it.
    if(EMULATOR)
      set(command sh -c ". '${WINE_ENV}' && brx_wine_prefix '${WINE_PREFIX}' && exec timeout -k 5 60 wine \"$@\""
                  sh "${TOOL}")
    endif()
  endif()
  execute_process(COMMAND ${command} ${ARGN} RESULT_VARIABLE code INPUT_FILE "${input}"
                  OUTPUT_FILE "${WORK}/out" ERROR_FILE "${WORK}/err" TIMEOUT 60)
  file(READ "${WORK}/out" out)
  file(READ "${WORK}/err" err)
  if(NOT code STREQUAL "${expected}")
    message(FATAL_ERROR "brxtool ${ARGN}: exit code ${code}, expected ${expected}\n"
                        "stdout:\n${out}\nstderr:\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

# expect_equal(WHAT ACTUAL EXPECTED...): the expected text is the rest of the
# arguments joined (each may hold a ';', so they are taken one by one).
function(expect_equal what actual)
  set(expected "")
  math(EXPR last "${ARGC} - 1")
  foreach(k RANGE 2 ${last})
    string(APPEND expected "${ARGV${k}}")
  endforeach()
  if(NOT actual STREQUAL expected)
    message(FATAL_ERROR "${what}:\n--- got\n${actual}\n--- expected\n${expected}")
  endif()
endfunction()

function(expect_same_file what actual expected)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${actual}" "${expected}"
                  RESULT_VARIABLE different)
  if(different)
    file(READ "${actual}" got HEX)
    message(FATAL_ERROR "${what} differs from ${expected}; in hex:\n${got}")
  endif()
endfunction()

run_tool(0 --version)
expect_equal("--version" "${out}" "brxtool ${VERSION}\n")

set(brx "${WORK}/sample.brx")
run_tool(0 build "${sample}" "${brx}")
file(SIZE "${brx}" size)
expect_equal("size of the built file" "${size}" "112")

# The same text on every system.
run_tool(0 dump --json "${brx}")
expect_same_file("dump --json of the built file" "${WORK}/out" "${sample}")
run_tool(0 dump "${brx}")
expect_same_file("dump of the built file" "${WORK}/out" "${DATA}/sample.txt")
# A name with letters beyond ASCII arrives and is printed as UTF-8.
set(named "${WORK}/wälle.brx")
file(COPY_FILE "${brx}" "${named}")
run_tool(0 check "${named}" "${brx}")
expect_equal("check" "${out}" "${named}: ok: 2 structures, 2 tiles\n${brx}: ok: 2 structures, 2 tiles\n")
run_tool(1 check "${WORK}/fehlt-ü.brx")
string(FIND "${err}" "brxtool: ${WORK}/fehlt-ü.brx: cannot open the file: " found)
if(NOT found EQUAL 0)
  message(FATAL_ERROR "a missing file with a name beyond ASCII: stderr '${err}'")
endif()

# Binary data through the standard streams: the file holds a 0x0A byte,
# which a text stream on Windows would change.
run_tool(0 build "${sample}" -)
expect_same_file("build to the standard output" "${WORK}/out" "${brx}")
run_tool(0 INPUT "${brx}" dump --json -)
expect_same_file("dump --json of the standard input" "${WORK}/out" "${sample}")
run_tool(0 INPUT "${sample}" build - "${WORK}/from-input.brx")
expect_same_file("build from the standard input" "${WORK}/from-input.brx" "${brx}")

# set refuses a wrong assignment and writes nothing; then diff names what
# set changed.
file(COPY_FILE "${brx}" "${WORK}/edited.brx")
run_tool(1 set "${WORK}/edited.brx" 0.Armour=26 1.Density=300 1.Hitpoints=1)
expect_equal("set with mistakes" "${err}"
             "brxtool: ${WORK}/edited.brx: 1.Density=300: 300 is outside 0..255\n"
             "brxtool: ${WORK}/edited.brx: 1.Hitpoints=1: unknown field \"Hitpoints\"; did you mean \"HitPoints\"?\n"
             "brxtool: ${WORK}/edited.brx: not changed\n")
expect_same_file("a file set refused to change" "${WORK}/edited.brx" "${brx}")
run_tool(0 set "${WORK}/edited.brx" 0.Armour=26 "0.Flags-=Wire Fence" 1.Flags+=Door
         "0.tiles.1.Shape[2][3]=9")
run_tool(1 diff "${brx}" "${WORK}/edited.brx")
expect_equal("diff" "${out}"
             "structure 0: Armour 10 -> 26\n"
             "structure 0 Flags: -Wire Fence\n"
             "structure 0 tile 1: Shape[2][3] 1 -> 9\n"
             "structure 1 Flags: +Door\n")
run_tool(0 diff "${brx}" "${brx}")
expect_equal("diff of equal files" "${out}" "")

# The atlas page of those changes: the same bytes on every system. The page
# carries its script, so the committed page follows tools/documents/atlas:
# after a change there, write it again with
#   brxtool atlas --compare sample.brx edited.brx tests/tools/data/sample_atlas.html
# from the files above, and look at it in a browser.
run_tool(0 atlas --compare "${brx}" "${WORK}/edited.brx" "${WORK}/atlas.html")
expect_same_file("atlas --compare" "${WORK}/atlas.html" "${DATA}/sample_atlas.html")
# diff --patch writes the same patch on every system; apply gives the
# edited file back, names a field the file changed meanwhile as a conflict,
# and writes nothing for a patch with a mistake.
run_tool(1 diff --patch "${brx}" "${WORK}/edited.brx")
expect_same_file("diff --patch" "${WORK}/out" "${DATA}/sample_patch.json")
file(COPY_FILE "${brx}" "${WORK}/patched.brx")
run_tool(0 apply "${WORK}/patched.brx" "${DATA}/sample_patch.json")
expect_same_file("apply" "${WORK}/patched.brx" "${WORK}/edited.brx")
file(COPY_FILE "${brx}" "${WORK}/changed.brx")
run_tool(0 set "${WORK}/changed.brx" 0.Armour=27)
run_tool(1 apply --output "${WORK}/patched.brx" "${WORK}/changed.brx" "${DATA}/sample_patch.json")
expect_equal("apply with a conflict" "${out}${err}"
             "${DATA}/sample_patch.json:3: structure 0: Armour: expected 10, found 27; set to 26\n")
expect_same_file("apply with a conflict" "${WORK}/patched.brx" "${WORK}/edited.brx")
file(WRITE "${WORK}/bad-patch.json" "[{\"op\": \"replace\", \"path\": \"/structures/0/Armour\", \"value\": 300}]")
run_tool(2 apply "${WORK}/changed.brx" "${WORK}/bad-patch.json")
string(FIND "${err}" "${WORK}/bad-patch.json:1:" found)
if(NOT found EQUAL 0)
  message(FATAL_ERROR "apply of a patch with a mistake: stderr '${err}'")
endif()

# Tables for a spreadsheet: the same bytes on every system (a BOM, CR LF
# line ends), and back into an empty file they give the file again.
run_tool(0 export "${brx}" "${WORK}/structures.csv" "${WORK}/tiles.csv")
expect_same_file("exported structures" "${WORK}/structures.csv" "${DATA}/sample_structures.csv")
expect_same_file("exported tiles" "${WORK}/tiles.csv" "${DATA}/sample_tiles.csv")
file(WRITE "${WORK}/empty.json" "{\"structures\": []}")
run_tool(0 build "${WORK}/empty.json" "${WORK}/imported.brx")
run_tool(0 import "${WORK}/imported.brx" "${DATA}/sample_tiles.csv" "${DATA}/sample_structures.csv")
expect_same_file("the imported tables" "${WORK}/imported.brx" "${brx}")

# A damaged file: what could be read, then the damage.
execute_process(COMMAND head -c 100 "${brx}" OUTPUT_FILE "${WORK}/damaged.brx")
run_tool(0 dump --lenient "${WORK}/damaged.brx")
file(READ "${DATA}/sample.txt" listing)
string(FIND "${listing}" "\nStructure 1\n" second)
string(SUBSTRING "${listing}" 0 ${second} listing)
expect_equal("dump --lenient" "${out}" "${listing}damaged: the file is truncated: the header of structure 1 needs bytes up to offset 112, but the data ends at offset 100\n")

# merge: two files' changes to a third, field by field, written into ours;
# a clash keeps ours' value and is named; a file that does not load is
# trouble, with nothing written.
foreach(side ours theirs both)
  file(COPY_FILE "${brx}" "${WORK}/${side}.brx")
endforeach()
run_tool(0 set "${WORK}/ours.brx" 0.Armour=26 "0.Flags-=Wire Fence")
run_tool(0 set "${WORK}/theirs.brx" 1.Flags+=Door "0.tiles.1.Shape[2][3]=9")
run_tool(0 set "${WORK}/both.brx" 0.Armour=26 "0.Flags-=Wire Fence" 1.Flags+=Door
         "0.tiles.1.Shape[2][3]=9")
run_tool(0 merge --output "${WORK}/merged.brx" "${brx}" "${WORK}/ours.brx" "${WORK}/theirs.brx")
expect_equal("a clean merge" "${out}${err}" "")
expect_same_file("a clean merge" "${WORK}/merged.brx" "${WORK}/both.brx")
run_tool(0 set "${WORK}/theirs.brx" 0.Armour=27)
run_tool(1 merge --json "${brx}" "${WORK}/ours.brx" "${WORK}/theirs.brx")
expect_equal("merge --json" "${out}${err}"
             "{\n  \"conflicts\": [\n    {\n      \"structure\": 0,\n      \"field\": \"Armour\",\n"
             "      \"base\": 10,\n      \"ours\": 26,\n      \"theirs\": 27\n    }\n  ]\n}\n")
run_tool(1 merge "${brx}" "${WORK}/ours.brx" "${WORK}/theirs.brx")
expect_equal("a merge with a conflict" "${out}${err}"
             "structure 0: Armour: base 10, ours 26, theirs 27\n")
expect_same_file("a merge with a conflict" "${WORK}/ours.brx" "${WORK}/both.brx")
run_tool(2 merge "${brx}" "${WORK}/ours.brx" "${WORK}/missing.brx")
string(FIND "${err}" "brxtool: ${WORK}/missing.brx: cannot open the file: " found)
if(NOT found EQUAL 0)
  message(FATAL_ERROR "a merge with a missing file: stderr '${err}'")
endif()
expect_same_file("a merge that failed" "${WORK}/ours.brx" "${WORK}/both.brx")

# Mistakes, each where it is.
file(WRITE "${WORK}/bad.json" "{\"structures\": [{\"Armour\": 1,}]}")
run_tool(1 build "${WORK}/bad.json" "${WORK}/bad.brx")
expect_equal("a syntax error" "${out}${err}"
             "${WORK}/bad.json:1:29: structures[0]: a comma after the last member; JSON allows none there\n")
if(EXISTS "${WORK}/bad.brx")
  message(FATAL_ERROR "a failed build wrote its output")
endif()
file(WRITE "${WORK}/bad.json" "{\"structures\": [{\"Armour\": 1}]}")
run_tool(1 build "${WORK}/bad.json" "${WORK}/bad.brx")
string(FIND "${err}" "${WORK}/bad.json:1:17: structures[0]: missing key \"HitPoints\"\n" found)
if(NOT found EQUAL 0)
  message(FATAL_ERROR "a failed build: stderr '${err}'")
endif()

run_tool(2 dump)
string(FIND "${err}" "dump takes 1 file" found)
if(found EQUAL -1)
  message(FATAL_ERROR "a usage error: stderr '${err}'")
endif()

file(REMOVE_RECURSE "${WORK}")
