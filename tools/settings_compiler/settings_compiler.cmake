# The settings compiler turns a readable settings source into the binary settings resource.
# It must run on the build machine, also for cross builds, so it is always built as an
# external project with the build machine's default compiler (no toolchain file) into
# <build>/host-tools/settings_compiler, and rebuilt (a no-op when nothing changed) on every
# build. One road for every preset, so the native build exercises it too.
include(ExternalProject)

set(UPDATE_SETTINGS_COMPILER_DIR ${CMAKE_BINARY_DIR}/host-tools/settings_compiler)
ExternalProject_Add(settings_compiler_host
  SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}
  BINARY_DIR ${UPDATE_SETTINGS_COMPILER_DIR}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${UPDATE_SETTINGS_COMPILER_DIR}/settings_compiler${CMAKE_HOST_EXECUTABLE_SUFFIX})

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
  set(compiler ${CMAKE_BINARY_DIR}/host-tools/settings_compiler/settings_compiler${CMAKE_HOST_EXECUTABLE_SUFFIX})
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
                     DEPENDS ${inputs} settings_compiler_host ${compiler}
                     COMMENT "Compiling the settings resource of ${target}"
                     VERBATIM)
  if(WIN32)
    file(CONFIGURE OUTPUT ${base}.rc CONTENT "TEXVORA RCDATA \"${base}.bin\"\n")
    set_source_files_properties(${base}.rc PROPERTIES OBJECT_DEPENDS ${base}.bin)
    target_sources(${target} PRIVATE ${base}.rc)
  else()
    target_sources(${target} PRIVATE ${base}.cpp)
  endif()
endfunction()
