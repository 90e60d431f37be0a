# The pre-launch backup's Windows side: the backup target dialog, the
# schedule that loads, saves and counts, the worker threads with their file
# copy, and the binding of the LHA archiver library.
if(WIN32)
  add_library(kb_backup_parts STATIC
    ${CMAKE_CURRENT_LIST_DIR}/lha_library.cpp
    ${CMAKE_CURRENT_LIST_DIR}/lz_copy.cpp
    ${CMAKE_CURRENT_LIST_DIR}/backup_worker.cpp
  )
  target_include_directories(kb_backup_parts PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(kb_backup_parts PUBLIC kb_backup_model kb_file_components kb_win)

  # Copies one file over and over until the copy test kills it.
  kb_test_program(copy_victim SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/copy_victim.cpp
                  LIBS kb_backup_parts)
  target_link_options(copy_victim PRIVATE -municode)

  kb_test(backup_worker_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/backup_test_support.cpp
            ${CMAKE_CURRENT_LIST_DIR}/tests/lz_copy_test.cpp
    LIBS kb_backup_parts kb_win_testing)
  add_dependencies(backup_worker_tests copy_victim)
endif()
