# One ctest entry per test case, so a failing case names itself.
#
# vorrin_discover_tests(TARGET PREFIX [EXCLUDE regex] [PROPERTIES ...]) lists the cases of a GoogleTest program
# when ctest starts, not at build time: the Windows programs run under Wine, on the display
# that scripts/test provides, and a 32-bit one may not run on this host at all. Each case
# becomes PREFIX.Suite.Case, but those matching EXCLUDE (run by an entry of their own). Cases
# whose name holds "BigFile" also get the label bigfile. Under Wine they start through
# tests/support/wine_case.sh, which starts a program again that Wine could not start at all.
function(vorrin_discover_tests target prefix)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "EXCLUDE" "PROPERTIES")
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}_cases.cmake)
  set(runner "")
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    set(runner "bash;${VORRIN_WINE_CASE};${CMAKE_CROSSCOMPILING_EMULATOR}")
  endif()
  set(program $<TARGET_FILE:${target}>)
  file(GENERATE OUTPUT ${script} CONTENT
"set(runner \"${runner}\")
set(program \"${program}\")
set(prefix \"${prefix}\")
set(properties \"${arg_PROPERTIES}\")
set(exclude \"${arg_EXCLUDE}\")
include(\"${VORRIN_DISCOVER_IMPL}\")
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()

set(VORRIN_DISCOVER_IMPL ${CMAKE_CURRENT_LIST_DIR}/DiscoverTestsImpl.cmake)
set(VORRIN_WINE_CASE ${CMAKE_CURRENT_LIST_DIR}/../tests/support/wine_case.sh)
