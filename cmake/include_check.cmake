# Run by the includes.* tests: builds the probe TARGET in the build folder
# BUILD and passes only when it fails for want of HEADER.
set(config)
if(CONFIG)
  set(config --config ${CONFIG})
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} ${config} --target ${TARGET}
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(result EQUAL 0)
  message(FATAL_ERROR "${TARGET} compiled: it sees ${HEADER}")
endif()
string(REPLACE "." "\\." pattern "${HEADER}")
# GCC, Clang and MSVC each say it their way.
if(NOT out MATCHES "${pattern}'?:? (No such file|file not found)")
  message(FATAL_ERROR "${TARGET} failed, but not for want of ${HEADER}:\n${out}")
endif()
message(STATUS "${TARGET} does not compile: ${HEADER} is out of its sight")
