# The pre-launch backup's Windows side: the backup target dialog, the
# schedule that loads, saves and counts, the worker threads with their file
# copy, and the binding of the LHA archiver library.
if(WIN32)
  add_library(kb_backup_parts STATIC
    ${CMAKE_CURRENT_LIST_DIR}/lha_library.cpp
    ${CMAKE_CURRENT_LIST_DIR}/lz_copy.cpp
    ${CMAKE_CURRENT_LIST_DIR}/backup_worker.cpp
    ${CMAKE_CURRENT_LIST_DIR}/bkup_dlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/backup_schedule.cpp
  )
  target_include_directories(kb_backup_parts PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(kb_backup_parts PUBLIC kb_backup_model kb_file_components kb_win_more kb_win)

  # Copies one file over and over until the copy test kills it.
  kb_test_program(copy_victim SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/copy_victim.cpp
                  LIBS kb_backup_parts)
  target_link_options(copy_victim PRIVATE -municode)

  # A stand-in archiver library that records the command lines it gets; the
  # tests copy it as UNLHA32.DLL where the launcher should or should not
  # find it.  Its entry points carry undecorated names, as the real one's.
  add_library(unlha_standin SHARED ${CMAKE_CURRENT_LIST_DIR}/tests/unlha_standin.cpp)
  set_target_properties(unlha_standin PROPERTIES PREFIX "")
  target_link_options(unlha_standin PRIVATE -Wl,--kill-at)

  kb_test(backup_worker_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/backup_test_support.cpp
            ${CMAKE_CURRENT_LIST_DIR}/tests/lz_copy_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/tests/backup_worker_test.cpp
    LIBS kb_backup_parts kb_win_testing)
  add_dependencies(backup_worker_tests copy_victim unlha_standin)
endif()

if(WIN32)
  kb_test(backup_dialog_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/backup_test_support.cpp
            ${CMAKE_CURRENT_LIST_DIR}/tests/bkup_dlg_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/tests/backup_schedule_test.cpp
    LIBS kb_backup_parts kb_win_testing)
endif()
