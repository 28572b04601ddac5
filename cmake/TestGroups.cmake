# Lists a GoogleTest program's tests and writes a CTest file that runs them in groups: the
# cases of one suite, a few at a time, share one process. Starting a sanitized test program
# costs far more than most cases, so one process per case would spend most of the run
# starting processes.
#
# Script mode: cmake -D TEST_EXECUTABLE=... -D CTEST_FILE=... -D GROUP_SIZE=... -D TEST_ENVIRONMENT=...
#              -P TestGroups.cmake

execute_process(
  COMMAND ${CMAKE_COMMAND} -E env ${TEST_ENVIRONMENT} ${TEST_EXECUTABLE} --gtest_list_tests
  OUTPUT_VARIABLE listing
  RESULT_VARIABLE status
  TIMEOUT 120)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${TEST_EXECUTABLE} could not list its tests (${status}):\n${listing}")
endif()

# The listing: "Suite." lines, each followed by "  Case" lines; either may carry a
# "  # TypeParam = ..." or "  # GetParam() = ..." remark.
string(REPLACE ";" "\\;" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(suites "")
set(suite "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE " *#.*$" "" line "${line}")
  if(line STREQUAL "")
    continue()
  endif()
  if(line MATCHES "^ +(.+)$")
    string(MAKE_C_IDENTIFIER "${suite}" key)
    list(APPEND cases_${key} "${suite}${CMAKE_MATCH_1}")
  else()
    set(suite "${line}")
    list(APPEND suites "${suite}")
  endif()
endforeach()

get_filename_component(program ${TEST_EXECUTABLE} NAME)
set(out "# Made by TestGroups.cmake from ${program}'s list of tests.\n")
foreach(suite IN LISTS suites)
  string(MAKE_C_IDENTIFIER "${suite}" key)
  string(REGEX REPLACE "[.]$" "" suiteName "${suite}")
  list(LENGTH cases_${key} count)
  if(count EQUAL 0)
    continue()
  endif()
  math(EXPR groups "(${count} + ${GROUP_SIZE} - 1) / ${GROUP_SIZE}")
  set(index 0)
  set(group 1)
  while(index LESS count)
    set(filter "")
    set(taken 0)
    while(index LESS count AND taken LESS GROUP_SIZE)
      list(GET cases_${key} ${index} name)
      string(APPEND filter ":${name}")
      math(EXPR index "${index} + 1")
      math(EXPR taken "${taken} + 1")
    endwhile()
    string(SUBSTRING "${filter}" 1 -1 filter)
    if(groups EQUAL 1)
      set(testName "${suiteName}")
    else()
      set(testName "${suiteName}.${group}of${groups}")
    endif()
    string(APPEND out "add_test([=[${testName}]=] [=[${TEST_EXECUTABLE}]=] [=[--gtest_filter=${filter}]=])\n")
    string(APPEND out "set_tests_properties([=[${testName}]=] PROPERTIES ENVIRONMENT [=[${TEST_ENVIRONMENT}]=])\n")
    math(EXPR group "${group} + 1")
  endwhile()
endforeach()
file(WRITE "${CTEST_FILE}" "${out}")
