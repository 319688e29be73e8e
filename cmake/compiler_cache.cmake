# Compiles through ccache when the machine has it (scripts/setup installs it). The cache is keyed
# by content: paths below the source folder are made relative and the build folder is not
# hashed, so a fresh clone in another folder rebuilds from what an earlier one compiled. The
# tests' precompiled header is cached too, which needs the two kinds of sloppiness below: a
# clone then gets the same header file byte for byte, and with it the cached test objects.
find_program(UPDATE_CCACHE ccache)
if(UPDATE_CCACHE)
  set(UPDATE_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${CMAKE_SOURCE_DIR}
                               CCACHE_NOHASHDIR=true CCACHE_SLOPPINESS=pch_defines,time_macros
                               ${UPDATE_CCACHE})
  set(CMAKE_C_COMPILER_LAUNCHER ${UPDATE_COMPILER_LAUNCHER})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${UPDATE_COMPILER_LAUNCHER})
endif()
