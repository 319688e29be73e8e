# Which platform folder this build uses: win32 for Windows, posix for everything else.
if(WIN32)
  set(UPDATE_PLATFORM_DIR win32)
else()
  set(UPDATE_PLATFORM_DIR posix)
endif()

# Whether this build's programs run on this machine as they are (no emulator needed).
if(CMAKE_CROSSCOMPILING)
  set(UPDATE_NATIVE OFF)
else()
  set(UPDATE_NATIVE ON)
endif()

# Whether this build's tests can be run here, natively or through an emulator.
if(UPDATE_NATIVE OR CMAKE_CROSSCOMPILING_EMULATOR)
  set(UPDATE_TESTS_RUNNABLE ON)
else()
  set(UPDATE_TESTS_RUNNABLE OFF)
endif()
