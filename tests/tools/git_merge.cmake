# The merge recipe of docs/brxtool.md, run by git itself on a scratch
# repository: branches that changed different fields, or one field the same
# way, merge with no conflict and the right bytes; a clash stops the merge in
# git's conflict state with ours' value in the file and the field named, and
# is finished with `set` and `git add`.
# cmake -DTOOL=<program> -DGIT=<git> -DSAMPLE=<json> -DWORK=<folder> -P git_merge.cmake

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/repo")
set(repo "${WORK}/repo")

include("${CMAKE_CURRENT_LIST_DIR}/git_repository.cmake")

# expected(NAME ASSIGNMENTS...): the sample with the assignments made, as
# ${WORK}/NAME.brx.
function(expected name)
  tool(build "${SAMPLE}" "${WORK}/${name}.brx")
  tool(set "${WORK}/${name}.brx" ${ARGN})
endfunction()

function(expect_walls what name)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${repo}/walls.brx"
                          "${WORK}/${name}.brx" RESULT_VARIABLE different)
  if(different)
    message(FATAL_ERROR "${what}: walls.brx is not ${name}.brx")
  endif()
endfunction()

# branch(NAME ASSIGNMENTS...): a branch off main whose one commit makes the assignments.
function(branch name)
  git(0 checkout -q -b ${name} main)
  tool(set walls.brx ${ARGN})
  git(0 commit -q -a -m ${name})
endfunction()

# The recipe.
git(0 init -q -b main .)
file(WRITE "${repo}/.gitattributes" "*.brx merge=brx\n")
git(0 config merge.brx.name "brxtool merge")
git(0 config merge.brx.driver "'${TOOL}' merge %O %A %B")
tool(build "${SAMPLE}" walls.brx)
git(0 add .gitattributes walls.brx)
git(0 commit -q -m "Walls")

# Different fields: no conflict.
branch(armour 0.Armour=26 "0.Flags-=Wire Fence")
branch(door 1.Flags+=Door "0.tiles.1.Shape[2][3]=9")
git(0 merge -q --no-edit armour)
expected(clean 0.Armour=26 "0.Flags-=Wire Fence" 1.Flags+=Door "0.tiles.1.Shape[2][3]=9")
expect_walls("two branches changing different fields" clean)

# One field changed the same way (beside others, so the files differ).
branch(density-a 0.Density=5 1.HitPoints=3)
branch(density-b 0.Density=5 0.tiles.0.ubVehicleHitLocation=2)
git(0 merge -q --no-edit density-a)
expected(same 0.Density=5 1.HitPoints=3 0.tiles.0.ubVehicleHitLocation=2)
expect_walls("two branches changing one field the same way" same)

# A clash: git stops in its conflict state; the file holds ours' value and
# what merged cleanly, and the listing names the field.
branch(other 0.Armour=30 1.WallOrientation=4)
branch(mine 0.Armour=40 1.Density=6)
git(1 merge --no-edit other)
string(FIND "${out}${err}" "structure 0: Armour: base 10, ours 40, theirs 30\n" named)
string(FIND "${out}${err}" "CONFLICT (content): Merge conflict in walls.brx" stopped)
if(named EQUAL -1 OR stopped EQUAL -1)
  message(FATAL_ERROR "the clash is not named:\n${out}${err}")
endif()
git(0 status --porcelain)
if(NOT out STREQUAL "UU walls.brx\n")
  message(FATAL_ERROR "git status after the clash:\n${out}")
endif()
expected(clash 0.Armour=40 1.Density=6 1.WallOrientation=4)
expect_walls("a clash" clash)

# Finished as the docs say: settle the value with set, then git add.
tool(set walls.brx 0.Armour=35)
git(0 add walls.brx)
git(0 commit -q --no-edit)
git(0 status --porcelain)
if(NOT out STREQUAL "")
  message(FATAL_ERROR "git status after the merge was finished:\n${out}")
endif()
expected(finished 0.Armour=35 1.Density=6 1.WallOrientation=4)
expect_walls("the finished merge" finished)

file(REMOVE_RECURSE "${WORK}")
