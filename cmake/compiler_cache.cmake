# Compiles through ccache when the machine has it (scripts/setup installs it). The cache is keyed
# by content: paths below the source folder are made relative and the build folder is not
# hashed, so a fresh clone in another folder rebuilds from what an earlier one compiled.
find_program(UPDATE_CCACHE ccache)
if(UPDATE_CCACHE)
  set(UPDATE_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${CMAKE_SOURCE_DIR}
                               CCACHE_NOHASHDIR=true ${UPDATE_CCACHE})
  set(CMAKE_C_COMPILER_LAUNCHER ${UPDATE_COMPILER_LAUNCHER})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${UPDATE_COMPILER_LAUNCHER})
endif()
