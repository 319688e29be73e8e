# The symbol extractor writes the symbol data that each program carries for the call stacks
# of its bug reports; it is one of the build machine's tools (cmake/host_tools.cmake).
set_property(GLOBAL PROPERTY UPDATE_SYMBOL_EXTRACTOR ${UPDATE_SYMBOL_EXTRACTOR})

# The extractor's readers for the target too, so that tests can call them.
add_library(update_symbol_extractor STATIC
            ${CMAKE_CURRENT_LIST_DIR}/dwarf_forms.cpp
            ${CMAKE_CURRENT_LIST_DIR}/dwarf_info.cpp
            ${CMAKE_CURRENT_LIST_DIR}/dwarf_lines.cpp
            ${CMAKE_CURRENT_LIST_DIR}/dwarf_ranges.cpp
            ${CMAKE_CURRENT_LIST_DIR}/function_lines.cpp
            ${CMAKE_CURRENT_LIST_DIR}/function_names.cpp
            ${CMAKE_CURRENT_LIST_DIR}/symbol_table_builder.cpp)
target_include_directories(update_symbol_extractor PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(update_symbol_extractor PUBLIC update_symbols)

# Appends the symbol data to the target's file after each link. The link step runs it, so a
# relink always does; the target relinks when the extractor itself changes. A failure removes
# the file, so that the next build links again instead of taking it for up to date.
#   update_symbol_data(<target>)
function(update_symbol_data target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "STRIP_DEBUG" "" "")
  get_property(extractor GLOBAL PROPERTY UPDATE_SYMBOL_EXTRACTOR)
  add_dependencies(${target} host_tools)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${extractor})
  if(arg_STRIP_DEBUG AND CMAKE_STRIP)
    # A shipped program drops its debug sections (most of its size, which the start-up
    # checksum would read every time); the unstripped link stays beside it as <file>.debug.
    add_custom_command(TARGET ${target} POST_BUILD
                       COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${target}>
                               $<TARGET_FILE:${target}>.debug
                       COMMAND ${CMAKE_STRIP} --strip-debug $<TARGET_FILE:${target}>
                       COMMAND ${extractor} --delete-on-failure
                               --debug-info $<TARGET_FILE:${target}>.debug $<TARGET_FILE:${target}>
                       COMMENT "Stripping ${target} and appending its symbol data"
                       VERBATIM)
  else()
    add_custom_command(TARGET ${target} POST_BUILD
                       COMMAND ${extractor} --delete-on-failure $<TARGET_FILE:${target}>
                       COMMENT "Appending the symbol data of ${target}"
                       VERBATIM)
  endif()
endfunction()
