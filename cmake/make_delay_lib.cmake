# Makes a delay-loaded import library from the toolchain's ordinary one:
# every function it imports is listed in a module definition, and dlltool
# writes the library whose calls load the DLL at the first call instead of at
# the program's start.
#   cmake -DNM=<nm> -DDLLTOOL=<dlltool> -DIMPLIB=<libX.a> -DDLL=<x.dll>
#         -DSTDCALL=<ON for i686> -DOUT=<libX_delay.a> -P make_delay_lib.cmake
execute_process(COMMAND ${NM} ${IMPLIB} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${NM} cannot read ${IMPLIB}")
endif()
string(REGEX MATCHALL " I __imp_[^\r\n]+" entries "${symbols}")
set(names)
foreach(entry IN LISTS entries)
  string(REGEX REPLACE "^ I __imp_" "" name "${entry}")
  if(STDCALL)
    # i686 decorates names (_Name@8); the definition takes them without the
    # leading underscore, and --kill-at imports them by their plain name.
    string(REGEX REPLACE "^_" "" name "${name}")
  endif()
  list(APPEND names "${name}")
endforeach()
list(REMOVE_DUPLICATES names)
list(JOIN names "\n" body)
get_filename_component(dir "${OUT}" DIRECTORY)
set(def "${OUT}.def")
file(WRITE "${def}" "LIBRARY ${DLL}\nEXPORTS\n${body}\n")
set(kill)
if(STDCALL)
  set(kill --kill-at)
endif()
execute_process(COMMAND ${DLLTOOL} ${kill} --input-def ${def} --output-delaylib ${OUT}
                        --dllname ${DLL}
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${DLLTOOL} could not make ${OUT}")
endif()
