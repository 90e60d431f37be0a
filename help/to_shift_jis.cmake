# cmake -DIN=<UTF-8 file> -DOUT=<Shift-JIS file> -P to_shift_jis.cmake
# The help's sources are UTF-8 like every source of the project; the help
# file's pages are Shift-JIS, the code page of the Japanese help viewer.
execute_process(COMMAND iconv -f UTF-8 -t CP932 ${IN} OUTPUT_FILE ${OUT} RESULT_VARIABLE result)
if(result)
  file(REMOVE ${OUT})
  message(FATAL_ERROR "${IN}: not convertible to Shift-JIS")
endif()
