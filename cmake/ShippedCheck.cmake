# The Windows tests must exercise the shipped 32-bit programs under a 32-bit
# Wine (emulated where the kernel runs no 32-bit code); this test fails on any
# quiet fall-back to other images or another Wine.  The 64-bit build is only
# compiled, so it has no such test.
if(WIN32 AND KB_WINE_ARCH STREQUAL "win32")
  add_test(NAME shipped_programs_are_32bit
           COMMAND /usr/bin/python3 ${PROJECT_SOURCE_DIR}/scripts/check_shipped_32bit.py
                   ${CMAKE_BINARY_DIR})
  set_tests_properties(shipped_programs_are_32bit PROPERTIES TIMEOUT 180 LABELS "wine")
endif()
