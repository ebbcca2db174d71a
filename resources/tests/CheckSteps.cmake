# The steps the install and package checks share: `fail` stops the check with a message that
# names it (CHECK_NAME), `run` runs a command that must succeed and keeps its output in
# run_output.

function(fail message)
  message(FATAL_ERROR "${CHECK_NAME}: ${message}")
endfunction()

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    fail("${ARGN} exited with ${rc}:\n${out}${err}")
  endif()
  set(run_output "${out}${err}" PARENT_SCOPE)
endfunction()
