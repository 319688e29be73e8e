# A target's source files compiled a few at a time as one translation unit (a unity build): the
# standard headers, and whatever the files all instantiate of them, are then compiled once per
# batch instead of once per file, which halves a clean build. Files in one batch share their
# file-local names, so those names stay distinct within a target.
#
# Each batch includes its files by their path relative to root, a folder on the target's include
# path. CMake's own unity build names them by their absolute path: the compiler cache then finds
# no batch that another clone compiled, where these it finds by their content alone.
#
# Thirty-two files to a batch: much of a batch's compile is the headers and what the files all
# instantiate of them, so two batches of sixteen took a third longer than one of thirty-two
# (platform's, 15 against 11 s). A change to one file recompiles its batch: seconds.
#
# A file keeps a compile of its own when it has options of its own, asks to be left out
# (SKIP_UNITY_BUILD_INCLUSION) or is generated into the build folder.
set(UPDATE_BATCH_SIZE 32)
function(update_batch_sources target root)
  set(size ${UPDATE_BATCH_SIZE})
  # The repository, not the calling project: the fuzz targets are a project of their own whose
  # sources lie outside its folder.
  cmake_path(GET CMAKE_CURRENT_FUNCTION_LIST_DIR PARENT_PATH repository)
  get_target_property(sources ${target} SOURCES)
  get_target_property(source_dir ${target} SOURCE_DIR)
  get_target_property(binary_dir ${target} BINARY_DIR)
  set(kept "")
  set(batches "")
  set(includes "")
  foreach(source IN LISTS sources)
    cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${source_dir} NORMALIZE OUTPUT_VARIABLE path)
    cmake_path(IS_PREFIX repository ${path} NORMALIZE in_project)
    cmake_path(IS_PREFIX PROJECT_BINARY_DIR ${path} NORMALIZE in_build)
    set(own_settings "")
    foreach(property COMPILE_OPTIONS COMPILE_DEFINITIONS SKIP_UNITY_BUILD_INCLUSION)
      get_source_file_property(value ${path} DIRECTORY ${source_dir} ${property})
      if(value)
        set(own_settings ${property})
      endif()
    endforeach()
    if(in_project AND NOT in_build AND NOT own_settings AND path MATCHES "[.]cpp$")
      cmake_path(RELATIVE_PATH path BASE_DIRECTORY ${root} OUTPUT_VARIABLE relative)
      list(APPEND includes "#include \"${relative}\"")
    else()
      list(APPEND kept ${source})
    endif()
  endforeach()
  list(LENGTH includes count)
  set(index 0)
  while(index LESS count)
    list(SUBLIST includes ${index} ${size} batch_includes)
    list(JOIN batch_includes "\n" content)
    list(LENGTH batches number)
    set(batch ${binary_dir}/${target}_batch_${number}.cpp)
    file(CONFIGURE OUTPUT ${batch} CONTENT "${content}\n" @ONLY)
    list(APPEND batches ${batch})
    math(EXPR index "${index} + ${size}")
  endwhile()
  set_property(TARGET ${target} PROPERTY SOURCES ${kept} ${batches})
endfunction()

# Every library and program defined below directory, in its subfolders too.
function(update_targets_below directory result)
  get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  foreach(subdirectory IN LISTS subdirectories)
    update_targets_below(${subdirectory} below)
    list(APPEND targets ${below})
  endforeach()
  set(${result} ${targets} PARENT_SCOPE)
endfunction()
