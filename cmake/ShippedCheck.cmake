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

# The shipped files import nothing Windows XP SP3 lacks (XP x64 for the
# 64-bit build), normal and delay-loaded imports alike; the list of what XP
# has comes from the toolchain's own headers (scripts/check_xp_imports.py).
if(WIN32)
  add_test(NAME shipped_imports_are_xp
           COMMAND /usr/bin/python3 ${PROJECT_SOURCE_DIR}/scripts/check_xp_imports.py
                   ${CMAKE_C_COMPILER} ${CMAKE_BINARY_DIR}/bin)
  set_tests_properties(shipped_imports_are_xp PROPERTIES TIMEOUT 120 LABELS "wine")
endif()
