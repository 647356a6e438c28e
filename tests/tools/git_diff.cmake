# The git recipe of docs/brxtool.md on a scratch repository: a .brx file's
# history reads as a diff of listings, each hunk headed by its structure, and
# an old version that is damaged does not stop `git log -p`.
# cmake -DTOOL=<program> -DGIT=<git> -DSAMPLE=<json> -DWORK=<folder> -P git_diff.cmake

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

set(repo "${WORK}")
include("${CMAKE_CURRENT_LIST_DIR}/git_repository.cmake")

# expect_in_hunk(TEXT HEADING): TEXT is in the diff, in a hunk headed by HEADING.
function(expect_in_hunk text heading)
  string(FIND "${out}" "${text}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the diff lacks '${text}':\n${out}")
  endif()
  string(SUBSTRING "${out}" 0 ${at} before)
  string(FIND "${before}" "\n@@ " hunk REVERSE)
  string(SUBSTRING "${before}" ${hunk} -1 hunk)
  string(REGEX MATCH "^\n@@ [^\n]* @@ ([^\n]*)\n" line "${hunk}")
  if(NOT CMAKE_MATCH_1 STREQUAL heading)
    message(FATAL_ERROR "'${text}' is under the heading '${CMAKE_MATCH_1}', not '${heading}':\n${out}")
  endif()
endfunction()

# The recipe.
git(0 init -q .)
file(WRITE "${WORK}/.gitattributes" "*.brx diff=brx\n")
git(0 config diff.brx.textconv "'${TOOL}' dump --lenient")
git(0 config diff.brx.xfuncname "^Structure [0-9]+$")

tool(build "${SAMPLE}" walls.brx)
git(0 add .gitattributes walls.brx)
git(0 commit -q -m "Walls")
tool(set walls.brx "0.tiles.1.Shape[2][3]=9" 1.WallOrientation=4)
git(0 commit -q -a -m "A window in the wall")
git(0 diff HEAD~1 -- walls.brx)
expect_in_hunk("\n-        0   1   1   1   0\n+        0   1   1   9   0\n" "Structure 0")
expect_in_hunk("\n-  WallOrientation: 0\n+  WallOrientation: 4\n" "Structure 1")

# A damaged version in the history: shown as far as it goes.
execute_process(COMMAND head -c 100 "${WORK}/walls.brx" OUTPUT_FILE "${WORK}/cut.brx")
file(RENAME "${WORK}/cut.brx" "${WORK}/walls.brx")
git(0 commit -q -a -m "Cut short")
tool(build "${SAMPLE}" walls.brx)
git(0 commit -q -a -m "Rebuilt")
git(0 log -p --format=commit:%s -- walls.brx)
expect_in_hunk("\n+damaged: the file is truncated: the header of structure 1 needs bytes up to offset 112, but the data ends at offset 100\n"
               "Structure 0")
expect_in_hunk("\n-damaged: the file is truncated" "Structure 0")
foreach(subject "Walls" "A window in the wall" "Cut short" "Rebuilt")
  string(FIND "${out}" "commit:${subject}\n" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "git log -p lacks the commit '${subject}':\n${out}")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK}")
