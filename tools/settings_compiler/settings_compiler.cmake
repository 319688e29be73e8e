# The settings compiler turns a readable settings source into the binary settings resource;
# it is one of the build machine's tools (cmake/host_tools.cmake), the same road for every
# preset, so the native build exercises it too.

# The compiler's parser and code generator for the target too, so that tests can call them.
add_library(update_settings_compiler STATIC ${CMAKE_CURRENT_LIST_DIR}/settings_source.cpp)
target_include_directories(update_settings_compiler PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(update_settings_compiler PUBLIC update_reporter_settings)

# Compiles SOURCE (with the `Key=Value` lines of OVERRIDE applied) into the TEXVORA resource
# of the target's own image: an RCDATA resource on Windows, a generated source that registers
# the bytes at start-up elsewhere.
#   update_settings_resource(<target> <source> [OVERRIDE <file>])
function(update_settings_resource target source)
  cmake_parse_arguments(PARSE_ARGV 2 ARG "" "OVERRIDE" "")
  set(compiler ${UPDATE_SETTINGS_COMPILER})
  set(base ${CMAKE_CURRENT_BINARY_DIR}/${target}_settings)
  set(arguments ${source} ${base}.bin)
  set(inputs ${source})
  if(ARG_OVERRIDE)
    list(APPEND arguments --override ${ARG_OVERRIDE})
    list(APPEND inputs ${ARG_OVERRIDE})
  endif()
  set(outputs ${base}.bin)
  if(NOT WIN32)
    list(APPEND arguments --embed ${base}.cpp)
    list(APPEND outputs ${base}.cpp)
  endif()
  add_custom_command(OUTPUT ${outputs}
                     COMMAND ${compiler} ${arguments}
                     DEPENDS ${inputs} host_tools ${compiler}
                     COMMENT "Compiling the settings resource of ${target}"
                     VERBATIM)
  if(WIN32)
    file(CONFIGURE OUTPUT ${base}.rc CONTENT "TEXVORA RCDATA \"${base}.bin\"\n")
    set_source_files_properties(${base}.rc PROPERTIES OBJECT_DEPENDS ${base}.bin)
    target_sources(${target} PRIVATE ${base}.rc)
  else()
    target_sources(${target} PRIVATE ${base}.cpp)
    # Generated code names its record alike in every target: never merged with other sources.
    set_source_files_properties(${base}.cpp TARGET_DIRECTORY ${target} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
  endif()
endfunction()
