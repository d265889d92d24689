# Read by cpack before it packs. The packages' file times are those of the
# last commit, so that two builds of one commit give the same bytes: CPack
# takes SOURCE_DATE_EPOCH for every time it writes. A time given from outside
# wins; a tree that is no git checkout takes its changelog's last date.
if("$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  execute_process(
    COMMAND git log -1 --format=%ct
    WORKING_DIRECTORY "${CPACK_VINTARO_SOURCE_DIR}"
    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT epoch MATCHES "^[0-9]+$")
    file(STRINGS "${CPACK_VINTARO_SOURCE_DIR}/packaging/debian/changelog" signed
         REGEX "^ -- " LIMIT_COUNT 1)
    string(REGEX REPLACE "^.*>  " "" date "${signed}")
    execute_process(COMMAND date -u -d "${date}" +%s
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(epoch MATCHES "^[0-9]+$")
    set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
  endif()
endif()
