# Zips the shipped files of the install folder FOLDER into OUTPUT with the zip program ZIP.
# Only these files go in: a verse.ini or other leftovers of a test run in the folder stay out.
set(shipped verse.exe tovimar.exe verse97.mdb lumaret2.chm README.txt)

if(NOT ZIP)
  message(FATAL_ERROR "zip not found: install it (scripts/setup does)")
endif()
set(missing "")
foreach(name IN LISTS shipped)
  if(NOT EXISTS "${FOLDER}/${name}")
    list(APPEND missing "${name}")
  endif()
endforeach()
if(missing)
  list(JOIN missing ", " missing_text)
  message(FATAL_ERROR "Cannot pack ${OUTPUT}: ${FOLDER} lacks ${missing_text}")
endif()

# zip adds to an existing archive; start afresh. -X leaves out extra file attributes.
file(REMOVE "${OUTPUT}")
execute_process(COMMAND "${ZIP}" -q -X "${OUTPUT}" ${shipped}
                WORKING_DIRECTORY "${FOLDER}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "zip failed (${result}) making ${OUTPUT}")
endif()
# The listing a packager checks: each shipped file's size in bytes, and the zip's.
foreach(name IN LISTS shipped)
  file(SIZE "${FOLDER}/${name}" size)
  string(LENGTH "${size}" digits)
  math(EXPR width "10 - ${digits}")
  string(REPEAT " " ${width} pad)
  message(STATUS "${pad}${size}  ${name}")
endforeach()
file(SIZE "${OUTPUT}" size)
message(STATUS "Packed ${OUTPUT}: ${size} bytes")
