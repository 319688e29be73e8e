# The tools that run during the build (the settings compiler, the symbol extractor and the
# checksum stamper) must run on the build machine, also for cross builds: one external project
# builds all three with the build machine's default compiler (no toolchain file) into
# <build>/host-tools, through the compiler cache as the rest, and is rebuilt (a no-op when
# nothing changed) on every build. One project, so that each build folder configures one
# compiler for them, not three.
include(ExternalProject)

set(UPDATE_HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/host-tools)
set(UPDATE_SETTINGS_COMPILER
    ${UPDATE_HOST_TOOLS_DIR}/settings_compiler/settings_compiler${CMAKE_HOST_EXECUTABLE_SUFFIX})
set(UPDATE_SYMBOL_EXTRACTOR
    ${UPDATE_HOST_TOOLS_DIR}/symbol_extractor/symbol_extractor${CMAKE_HOST_EXECUTABLE_SUFFIX})
set(UPDATE_CHECKSUM_STAMP
    ${UPDATE_HOST_TOOLS_DIR}/checksum_stamp/checksum_stamp${CMAKE_HOST_EXECUTABLE_SUFFIX})

set(host_tools_cache_args -DCMAKE_BUILD_TYPE:STRING=Release)
if(UPDATE_COMPILER_LAUNCHER)
  list(APPEND host_tools_cache_args "-DCMAKE_CXX_COMPILER_LAUNCHER:STRING=${UPDATE_COMPILER_LAUNCHER}")
endif()
ExternalProject_Add(host_tools
  SOURCE_DIR ${PROJECT_SOURCE_DIR}/tools
  BINARY_DIR ${UPDATE_HOST_TOOLS_DIR}
  CMAKE_CACHE_ARGS ${host_tools_cache_args}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${UPDATE_SETTINGS_COMPILER} ${UPDATE_SYMBOL_EXTRACTOR} ${UPDATE_CHECKSUM_STAMP})
