# Checks that the built program does not make the dynamic loader bind the HTTP library at
# start: the upload loads it when it needs it.
#
#   cmake -DEXE=<Update executable> -DOBJDUMP=<objdump> -P check_http_not_linked.cmake
cmake_minimum_required(VERSION 3.25)

if(NOT EXISTS "${EXE}")
  message(FATAL_ERROR "check_http_not_linked.cmake: -DEXE names no file: ${EXE}")
endif()
execute_process(COMMAND "${OBJDUMP}" -p "${EXE}" OUTPUT_VARIABLE headers
                ERROR_VARIABLE errors RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p failed (${result}): ${errors}")
endif()
string(REGEX MATCHALL "NEEDED +[^\n]+" needed "${headers}")
if(NOT needed)
  message(FATAL_ERROR "${EXE}: no NEEDED entries read; is it a dynamic ELF program?")
endif()
if(needed MATCHES "libcurl")
  message(FATAL_ERROR "${EXE} is linked against libcurl: ${needed}")
endif()
message(STATUS "${EXE} needs at start: ${needed}")
