# One CTest test per test executable: under Wine a process start costs far
# more than a test case, so each executable runs all of its cases at once.
#
#   zuvo_add_test(NAME <name> SOURCES <files...> [LIBS <targets...>] [TIMEOUT <s>]
#                 [COST <s>] [SEPARATE <Suite.Case>...] [SHARDS <n>])
#
# COST is about how many seconds the test runs: CTest starts the costliest
# first, so that a long test does not start last and hold up the end of a
# parallel run (a fresh build folder has no timings of earlier runs yet).
# Each SEPARATE case, one that alone runs longer than most programs, becomes a
# test of its own (<name>.<Case>), started first, while <name> runs the rest.
# SHARDS n runs the rest as n tests (<name>.1 ... <name>.n) side by side, each
# a share of the cases, so that one long table does not hold up the end of a
# parallel run.
function(zuvo_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT;COST;SHARDS" "SOURCES;LIBS;SEPARATE" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock zuvo_test_main)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()

  set(rest "")
  set(tests "")
  foreach(case IN LISTS T_SEPARATE)
    string(REGEX REPLACE "^[^.]*\\." "" short ${case})
    add_test(NAME ${T_NAME}.${short} COMMAND ${T_NAME} --gtest_color=no --gtest_filter=${case})
    set_tests_properties(${T_NAME}.${short} PROPERTIES COST 10000)
    list(APPEND tests ${T_NAME}.${short})
    string(APPEND rest ":${case}")
  endforeach()
  set(filter "")
  if(rest)
    string(SUBSTRING "${rest}" 1 -1 rest)
    set(filter --gtest_filter=-${rest})
  endif()
  set(others "")
  if(T_SHARDS)
    math(EXPR last "${T_SHARDS} - 1")
    foreach(shard RANGE ${last})
      math(EXPR number "${shard} + 1")
      add_test(NAME ${T_NAME}.${number} COMMAND ${T_NAME} --gtest_color=no ${filter})
      set_tests_properties(${T_NAME}.${number} PROPERTIES
        ENVIRONMENT "GTEST_TOTAL_SHARDS=${T_SHARDS};GTEST_SHARD_INDEX=${shard}")
      list(APPEND others ${T_NAME}.${number})
    endforeach()
  else()
    add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_color=no ${filter})
    set(others ${T_NAME})
  endif()
  list(APPEND tests ${others})
  if(T_COST)
    set_tests_properties(${others} PROPERTIES COST ${T_COST})
  endif()

  set_tests_properties(${tests} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(WIN32)
    # Each Windows test takes one Wine session (its own display and prefix)
    # for its whole run: the tests of one session move one cursor and share
    # one foreground window. scripts/wine-session.sh makes the sessions.
    set_tests_properties(${tests} PROPERTIES RESOURCE_GROUPS "wine:1")
  endif()
endfunction()

if(WIN32)
  # add_test runs Windows executables through this wrapper (Wine).
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-exec.sh CACHE FILEPATH "" FORCE)
endif()
