# The registration dialog and the right-click flows that drive it; included
# from this folder's CMakeLists.txt.
add_library(kb_edit_rules STATIC ${CMAKE_CURRENT_LIST_DIR}/edit_rules.cpp)
target_link_libraries(kb_edit_rules PUBLIC kb_common)
kb_test(edit_rules_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/edit_rules_test.cpp
        LIBS kb_edit_rules)

if(WIN32)
  target_sources(kb_launcher PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/edit_glyphs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/edit_window.cpp
    ${CMAKE_CURRENT_LIST_DIR}/registration_flow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/registration_wiring.cpp
  )
  target_link_libraries(kb_launcher PUBLIC kb_edit_rules kb_groups_rules)

  # A program carrying three icons, for the icon list.
  enable_language(RC)
  kb_test_program(three_icons SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/fixtures/three_icons.cpp
                  ${CMAKE_CURRENT_LIST_DIR}/tests/fixtures/three_icons.rc)
  target_include_directories(three_icons PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tests/fixtures)

  kb_test(edit_window_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/edit_window_test.cpp
          LIBS kb_launcher kb_win_testing)
  kb_test(registration_flow_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/registration_flow_test.cpp
          LIBS kb_launcher kb_win_testing)
  kb_test(registration_wiring_tests
          SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/registration_wiring_test.cpp
                  ${CMAKE_CURRENT_LIST_DIR}/tests/groups_fixture.cpp
          LIBS kb_launcher kb_win_testing)
  add_dependencies(edit_window_tests three_icons)
  add_dependencies(registration_wiring_tests three_icons)
  add_dependencies(registration_flow_tests three_icons)
endif()
