# Checks that the built Update carries its compiled crash-reporter settings byte for byte:
# in the resource section on Windows, in the data that registers them at start-up elsewhere.
#
#   cmake -DEXE=<Update executable> -DSETTINGS=<Update_settings.bin> -P check_embedded_settings.cmake
cmake_minimum_required(VERSION 3.25)

foreach(argument EXE SETTINGS)
  if(NOT EXISTS "${${argument}}")
    message(FATAL_ERROR "check_embedded_settings.cmake: -D${argument} names no file: ${${argument}}")
  endif()
endforeach()

file(READ "${SETTINGS}" settings HEX)
# "TPF0", then the class and object names with their length bytes.
string(HEX "TPF0" signature)
string(HEX "TExvora" class_name)
string(HEX "Exvora" object_name)
if(NOT settings MATCHES "^${signature}07${class_name}06${object_name}")
  message(FATAL_ERROR "${SETTINGS} does not start with the settings stream header")
endif()

file(READ "${EXE}" image HEX)
string(FIND "${image}" "${settings}" at)
math(EXPR misaligned "${at} % 2")
if(at LESS 0 OR misaligned)
  message(FATAL_ERROR "${EXE} does not carry the settings of ${SETTINGS}")
endif()
string(LENGTH "${settings}" length)
math(EXPR length "${length} / 2")
message(STATUS "${EXE} carries its ${length}-byte settings resource")
