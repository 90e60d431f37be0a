# kb_test(<name> SOURCES <files...> [LIBS <targets...>] [TIMEOUT <s>] [NO_GTEST_MAIN])
#
# Host build: each test case becomes its own CTest test.
# Windows build: the whole program is one CTest test that runs under Wine
# (the emulator of the toolchain file); one Wine process per program keeps the
# run short, and GoogleTest's own output still names every failing case.
function(kb_test name)
  cmake_parse_arguments(T "NO_GTEST_MAIN" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_NO_GTEST_MAIN)
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 240)
  endif()
  if(WIN32)
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no
             WORKING_DIRECTORY ${KB_TEST_BIN_DIR})
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "wine;${T_LABELS}")
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                         PROPERTIES TIMEOUT ${T_TIMEOUT} LABELS "host;${T_LABELS}")
  endif()
endfunction()

# A small Windows helper program that tests start as a second process
# (stand-ins, recorders); it lands in the test binary folder.
function(kb_test_program name)
  cmake_parse_arguments(T "GUI" "OUTPUT_NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS})
  if(T_GUI)
    set_target_properties(${name} PROPERTIES WIN32_EXECUTABLE ON)
  endif()
  if(T_OUTPUT_NAME)
    set_target_properties(${name} PROPERTIES OUTPUT_NAME ${T_OUTPUT_NAME})
  endif()
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/ShippedCheck.cmake)
