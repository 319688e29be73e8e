# The checksum stamper writes the stamp that the program tests its own file against at
# start-up. It must run on the build machine, also for cross builds, so it is always built as
# an external project with the build machine's default compiler (no toolchain file) into
# <build>/host-tools/checksum_stamp, and rebuilt (a no-op when nothing changed) on every build,
# as the settings compiler and the symbol extractor are.
include(ExternalProject)

set(UPDATE_CHECKSUM_STAMP_DIR ${CMAKE_BINARY_DIR}/host-tools/checksum_stamp)
set(UPDATE_CHECKSUM_STAMP
    ${UPDATE_CHECKSUM_STAMP_DIR}/checksum_stamp${CMAKE_HOST_EXECUTABLE_SUFFIX})
set_property(GLOBAL PROPERTY UPDATE_CHECKSUM_STAMP ${UPDATE_CHECKSUM_STAMP})
ExternalProject_Add(checksum_stamp_host
  SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}
  BINARY_DIR ${UPDATE_CHECKSUM_STAMP_DIR}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${UPDATE_CHECKSUM_STAMP})

# Stamps the target's file after each link. Call it after update_symbol_data(<target>): the
# stamp covers the whole file, the appended symbol data included, so it must come last. A
# failure removes the file, so that the next build links again instead of taking it for up to
# date.
#   update_checksum_stamp(<target>)
function(update_checksum_stamp target)
  get_property(stamper GLOBAL PROPERTY UPDATE_CHECKSUM_STAMP)
  add_dependencies(${target} checksum_stamp_host)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${stamper})
  add_custom_command(TARGET ${target} POST_BUILD
                     COMMAND ${stamper} --delete-on-failure $<TARGET_FILE:${target}>
                     COMMENT "Stamping the checksum of ${target}"
                     VERBATIM)
endfunction()
