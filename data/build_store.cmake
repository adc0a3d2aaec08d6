# Makes STORE from the verse lines in VERSES with the versedb tool VERSEDB:
#   cmake -DVERSEDB=... -DVERSES=... -DSTORE=... -P build_store.cmake
# The store is built under a temporary name and checked, so a failed build never
# leaves a half-made store behind.
set(partial "${STORE}.partial")
file(REMOVE "${partial}")
foreach(step create import check)
  set(args "${step}" "${partial}")
  set(input "")
  if(step STREQUAL "import")
    list(APPEND args versetbl)
    set(input INPUT_FILE "${VERSES}")
  endif()
  execute_process(COMMAND "${VERSEDB}" ${args} ${input} RESULT_VARIABLE status OUTPUT_QUIET)
  if(NOT status EQUAL 0)
    file(REMOVE "${partial}")
    message(FATAL_ERROR "versedb ${step} failed (${status}) while building ${STORE}")
  endif()
endforeach()
file(RENAME "${partial}" "${STORE}")
