# The fuzz targets as tests: fuzz/ is built once per build folder, as an external project with
# clang (libFuzzer needs it) into <build>/fuzz, and rebuilt with the rest (a no-op when nothing
# changed). For every target, one test replays each of its seeds and one runs a fixed number of
# new inputs from a fixed random seed, so that a run is repeatable. Only for native builds:
# libFuzzer's runtime is built for this machine.
include(ExternalProject)

find_program(UPDATE_FUZZ_COMPILER clang++-14 REQUIRED)
set(UPDATE_FUZZ_RUNS 4000 CACHE STRING "New inputs per fuzz target in each test run")

set(fuzz_source_dir ${PROJECT_SOURCE_DIR}/fuzz)
set(fuzz_binary_dir ${CMAKE_BINARY_DIR}/fuzz)
file(GLOB fuzz_targets CONFIGURE_DEPENDS ${fuzz_source_dir}/*.cpp)
set(fuzz_binaries "")
foreach(source ${fuzz_targets})
  get_filename_component(target ${source} NAME_WE)
  list(APPEND fuzz_binaries ${fuzz_binary_dir}/${target})
endforeach()

set(fuzz_cache_args "-DCMAKE_CXX_COMPILER:FILEPATH=${UPDATE_FUZZ_COMPILER}")
if(UPDATE_COMPILER_LAUNCHER)
  list(APPEND fuzz_cache_args "-DCMAKE_CXX_COMPILER_LAUNCHER:STRING=${UPDATE_COMPILER_LAUNCHER}")
endif()
ExternalProject_Add(fuzz_targets
  SOURCE_DIR ${fuzz_source_dir}
  BINARY_DIR ${fuzz_binary_dir}
  CMAKE_CACHE_ARGS ${fuzz_cache_args}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${fuzz_binaries})

foreach(binary ${fuzz_binaries})
  get_filename_component(target ${binary} NAME)
  add_test(NAME fuzz_${target}_seeds COMMAND ${fuzz_source_dir}/run-target ${binary} replay)
  add_test(NAME fuzz_${target}
           COMMAND ${fuzz_source_dir}/run-target ${binary} check ${UPDATE_FUZZ_RUNS}
                   ${fuzz_binary_dir}/corpus/${target})
endforeach()
