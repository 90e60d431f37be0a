# The file drop target and the folder selection dialog: reusable components
# over the window layer.
if(WIN32)
  add_library(kb_file_components STATIC
    ${CMAKE_CURRENT_LIST_DIR}/file_drop.cpp
    ${CMAKE_CURRENT_LIST_DIR}/folder_dialog.cpp
  )
  target_include_directories(kb_file_components PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(kb_file_components PUBLIC kb_win comctl32 shell32 ole32)

  kb_test(components_file_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/file_drop_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/tests/folder_dialog_test.cpp
    LIBS kb_file_components kb_win_testing)
endif()
