# 32-bit x86 Linux build on an x86-64 host. The kernel here runs no i386 code, so tests
# run through qemu's user-mode emulator.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32")
set(CMAKE_CXX_FLAGS_INIT "-m32")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../qemu-i386-run.sh)
# Libraries of the build machine's own architecture must not be picked up: pkg-config and the
# find commands look at the i386 ones only (libcurl4-openssl-dev:i386).
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/i386-linux-gnu/pkgconfig:/usr/share/pkgconfig)
set(CMAKE_IGNORE_PATH /usr/lib/x86_64-linux-gnu /usr/include/x86_64-linux-gnu)
