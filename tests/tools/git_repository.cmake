# What the git recipes share: git and brxtool run in a scratch repository,
# git away from the user's and the system's settings. Set before including:
# GIT, TOOL, WORK (git's home) and repo (the repository's folder).

# git(EXPECTED_CODE ARGS...): runs git in the repository; sets out and err
# to its standard output and standard error.
function(git expected)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env GIT_CONFIG_NOSYSTEM=1 HOME=${WORK}
                          XDG_CONFIG_HOME=${WORK}/.config GIT_CONFIG_GLOBAL=${WORK}/.gitconfig
                          GIT_AUTHOR_NAME=Test GIT_AUTHOR_EMAIL=test@example.org
                          GIT_COMMITTER_NAME=Test GIT_COMMITTER_EMAIL=test@example.org
                          "${GIT}" ${ARGN}
                  WORKING_DIRECTORY "${repo}" RESULT_VARIABLE code OUTPUT_VARIABLE output
                  ERROR_VARIABLE errors TIMEOUT 60)
  if(NOT code EQUAL expected)
    message(FATAL_ERROR "git ${ARGN}: exit code ${code}, expected ${expected}\n${output}${errors}")
  endif()
  set(out "${output}" PARENT_SCOPE)
  set(err "${errors}" PARENT_SCOPE)
endfunction()

# tool(ARGS...): runs brxtool in the repository, which must succeed.
function(tool)
  execute_process(COMMAND "${TOOL}" ${ARGN} WORKING_DIRECTORY "${repo}" RESULT_VARIABLE code
                  ERROR_VARIABLE errors TIMEOUT 60)
  if(NOT code EQUAL 0)
    message(FATAL_ERROR "brxtool ${ARGN}: exit code ${code}\n${errors}")
  endif()
endfunction()
