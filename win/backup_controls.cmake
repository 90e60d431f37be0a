# The list box, radio buttons, group boxes, number field and the modal scope
# the backup target dialog is built from.
if(WIN32)
  add_library(kb_win_more STATIC
    ${CMAKE_CURRENT_LIST_DIR}/list_box.cpp
    ${CMAKE_CURRENT_LIST_DIR}/button_controls.cpp
    ${CMAKE_CURRENT_LIST_DIR}/spin_edit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/modal_scope.cpp
  )
  target_include_directories(kb_win_more PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(kb_win_more PUBLIC kb_win comctl32)
endif()
