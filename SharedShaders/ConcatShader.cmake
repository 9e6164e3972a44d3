# Writes OUT as the files of PARTS one after another: a shader made of a
# shared head and a part of its own (GLSL ES has no include).
set(text "")
foreach(part ${PARTS})
  file(READ ${part} piece)
  string(APPEND text "${piece}")
endforeach()
file(WRITE ${OUT} "${text}")
