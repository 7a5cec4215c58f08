# Runs inside ctest (see DiscoverTests.cmake): lists the program's cases and adds one test each.
# Given: runner (the emulator, maybe empty), program, prefix, properties, exclude.
# scripts/wine-run exits with 77 for a 32-bit program on a host that cannot run one; then a
# single entry is added that reports the skip with its reason.
execute_process(COMMAND ${runner} ${program} --gtest_list_tests
  RESULT_VARIABLE listed OUTPUT_VARIABLE listing ERROR_VARIABLE listing_errors)

if(listed EQUAL 77)
  add_test(${prefix} ${runner} ${program} --gtest_list_tests)
  set_tests_properties(${prefix} PROPERTIES SKIP_RETURN_CODE 77)
  return()
endif()
if(NOT listed EQUAL 0)
  # Shown as a failing entry rather than silently missing cases.
  add_test(${prefix}.listing sh -c "echo 'could not list the cases of ${program} (exit ${listed})'; exit 1")
  return()
endif()

string(REPLACE "\r" "" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(suite "")
foreach(line IN LISTS lines)
  if(line MATCHES "^([A-Za-z0-9_/]+)\\.")
    set(suite ${CMAKE_MATCH_1})
  elseif(line MATCHES "^  ([A-Za-z0-9_/]+)")
    set(case ${suite}.${CMAKE_MATCH_1})
    if(exclude AND case MATCHES "${exclude}")
      continue()
    endif()
    add_test(${prefix}.${case} ${runner} ${program} --gtest_filter=${case})
    if(properties)
      set_tests_properties(${prefix}.${case} PROPERTIES ${properties})
    endif()
    set_tests_properties(${prefix}.${case} PROPERTIES SKIP_RETURN_CODE 77)
    if(case MATCHES "BigFile")
      set_tests_properties(${prefix}.${case} PROPERTIES LABELS bigfile)
    endif()
  endif()
endforeach()
