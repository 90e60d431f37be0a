# System libraries the launcher needs only once its bar is on screen (common
# controls, the shell, COM, transparent blits).  Loading them at the
# program's start cost about as much as everything else before the bar shows
# under Wine; linked through delay-loaded import libraries, each is loaded at
# its first call.  kb_delay_load(<name> <dll>) makes the INTERFACE target
# kb_delay_<name> that links one of them.
function(kb_delay_load name dll)
  find_library(implib_${name} NAMES lib${name}.a REQUIRED)
  set(out "${CMAKE_BINARY_DIR}/delay/lib${name}_delay.a")
  set(stdcall OFF)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(stdcall ON)
  endif()
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DDLLTOOL=${CMAKE_DLLTOOL}
            -DIMPLIB=${implib_${name}} -DDLL=${dll} -DSTDCALL=${stdcall} -DOUT=${out}
            -P ${PROJECT_SOURCE_DIR}/cmake/make_delay_lib.cmake
    DEPENDS ${implib_${name}} ${PROJECT_SOURCE_DIR}/cmake/make_delay_lib.cmake
    COMMENT "Delay-loaded import library for ${dll}")
  add_custom_target(kb_delay_${name}_lib DEPENDS ${out})
  add_library(kb_delay_${name} INTERFACE)
  target_link_libraries(kb_delay_${name} INTERFACE ${out})
  if(stdcall)
    # The i686 linker (binutils 2.40) keeps a delay-import member's thunk only
    # when a call names the thunk itself; a call through the member's
    # address-table entry (what dllimport declarations make) then finds
    # address 0 there.  Without dllimport every call names the thunk.
    target_compile_definitions(kb_delay_${name} INTERFACE DECLSPEC_IMPORT=)
  endif()
  add_dependencies(kb_delay_${name} kb_delay_${name}_lib)
endfunction()
