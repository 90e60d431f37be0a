# The pre-launch backup's portable rules: the backup settings file, the
# launch countdown, the copy plan and the archiver's command line.  Built and
# unit-tested on the host as well.
add_library(kb_backup_model STATIC
  ${CMAKE_CURRENT_LIST_DIR}/backup_settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/backup_command.cpp
)
target_include_directories(kb_backup_model PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(kb_backup_model PUBLIC kb_common)

kb_test(backup_model_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/tests/backup_settings_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/tests/backup_command_test.cpp
  LIBS kb_backup_model)
