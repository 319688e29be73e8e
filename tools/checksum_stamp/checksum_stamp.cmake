# The checksum stamper writes the stamp that the program tests its own file against at
# start-up; it is one of the build machine's tools (cmake/host_tools.cmake).
set_property(GLOBAL PROPERTY UPDATE_CHECKSUM_STAMP ${UPDATE_CHECKSUM_STAMP})

# Stamps the target's file after each link. Call it after update_symbol_data(<target>): the
# stamp covers the whole file, the appended symbol data included, so it must come last. A
# failure removes the file, so that the next build links again instead of taking it for up to
# date.
#   update_checksum_stamp(<target>)
function(update_checksum_stamp target)
  get_property(stamper GLOBAL PROPERTY UPDATE_CHECKSUM_STAMP)
  add_dependencies(${target} host_tools)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${stamper})
  add_custom_command(TARGET ${target} POST_BUILD
                     COMMAND ${stamper} --delete-on-failure $<TARGET_FILE:${target}>
                     COMMENT "Stamping the checksum of ${target}"
                     VERBATIM)
endfunction()
