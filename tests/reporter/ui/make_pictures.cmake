# Writes the resource script of the test pictures: PLWAIT, a 32x32 bitmap resource with alpha
# (top half opaque red, bottom half opaque green), and PLWAITLONG, the same with one byte more.
#   cmake -DOUTPUT=<file.rc> -P make_pictures.cmake
set(header 0x00000028L 0x00000020L 0x00000020L 0x00200001L 0L 0x00001000L 0L 0L 0L 0L)
set(words ${header})
# Rows are stored bottom row first: the first 16 are the lower half.
foreach(row RANGE 31)
  if(row LESS 16)
    set(pixel 0xFF00FF00L)
  else()
    set(pixel 0xFFFF0000L)
  endif()
  foreach(column RANGE 31)
    list(APPEND words ${pixel})
  endforeach()
endforeach()
list(JOIN words ",\n  " data)
file(WRITE ${OUTPUT} "PLWAIT 2\nBEGIN\n  ${data}\nEND\n\nPLWAITLONG 2\nBEGIN\n  ${data},\n  \"\\001\"\nEND\n")
