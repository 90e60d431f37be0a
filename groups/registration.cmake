# The registration dialog and the right-click flows that drive it; included
# from this folder's CMakeLists.txt.
add_library(kb_edit_rules STATIC ${CMAKE_CURRENT_LIST_DIR}/edit_rules.cpp)
target_link_libraries(kb_edit_rules PUBLIC kb_common)
kb_test(edit_rules_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/edit_rules_test.cpp
        LIBS kb_edit_rules)
