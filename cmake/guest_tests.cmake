# Tests of a build whose programs run only inside the test guest (tools/guest): every test
# program runs there as one Wine process, all of them in one boot. The boot is one test, the
# fixture; each program is a test of its own that reads what the program printed and returned
# there. A program's test cases are not listed one by one: listing them would take a run of
# each program in the guest before the tests are even known.

# Adds a test program to the guest's batch, with its own time limit in seconds. Programs that
# share a resource (a fixed port) go in the lane named after it and run one after another;
# those of the lane "unlocked" run in any order, beside them.
function(update_guest_program target limit lane)
  set_property(GLOBAL APPEND PROPERTY UPDATE_GUEST_PROGRAMS "${target}:${limit}:${lane}")
endfunction()

# Registers the batch and a test per program (call once, after every program was added). The
# payload is what the programs need in the guest beyond the build's bin folder.
function(update_register_guest_batch)
  cmake_parse_arguments(PARSE_ARGV 0 batch "" "TIME_LIMIT" "PAYLOAD")
  get_property(programs GLOBAL PROPERTY UPDATE_GUEST_PROGRAMS)
  set(folder ${CMAKE_BINARY_DIR}/guest)
  set(manifest "")
  set(tab "\t")
  foreach(entry IN LISTS programs)
    string(REPLACE ":" ";" entry "${entry}")
    list(GET entry 0 target)
    list(GET entry 1 limit)
    list(GET entry 2 lane)
    string(APPEND manifest "${target}${tab}${lane}${tab}${limit}${tab}$<TARGET_FILE:${target}>\n")
  endforeach()
  file(GENERATE OUTPUT ${folder}/manifest CONTENT "${manifest}")
  list(PREPEND batch_PAYLOAD ${CMAKE_BINARY_DIR}/bin)
  list(JOIN batch_PAYLOAD "\n" payload)
  file(GENERATE OUTPUT ${folder}/payload CONTENT "${payload}\n")

  set(tools ${PROJECT_SOURCE_DIR}/tools/guest)
  add_test(NAME guest_batch
           COMMAND ${tools}/run-batch ${folder}/manifest ${folder}/payload ${folder}/results
                   ${batch_TIME_LIMIT})
  # The first run on a machine also builds the guest's image (minutes).
  math(EXPR timeout "${batch_TIME_LIMIT} + 1200")
  set_tests_properties(guest_batch PROPERTIES FIXTURES_SETUP update_guest TIMEOUT ${timeout})
  foreach(entry IN LISTS programs)
    string(REPLACE ":" ";" entry "${entry}")
    list(GET entry 0 target)
    add_test(NAME guest.${target} COMMAND ${tools}/result ${folder}/results ${target})
    set_tests_properties(guest.${target} PROPERTIES FIXTURES_REQUIRED update_guest)
  endforeach()
endfunction()
