# One CTest test per test executable: under Wine a process start costs far
# more than a test case, so each executable runs all of its cases at once.
#
#   zuvo_add_test(NAME <name> SOURCES <files...> [LIBS <targets...>] [TIMEOUT <s>])
function(zuvo_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock zuvo_test_main)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_color=no)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()

if(WIN32)
  # add_test runs Windows executables through this wrapper (Wine).
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-exec.sh CACHE FILEPATH "" FORCE)
endif()
