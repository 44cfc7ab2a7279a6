# Packs the generator's files into GAMEDATA.DAT with Allegro's dat tool.
# Objects are named E<NN>_..., and dat keeps a data file sorted by name, so entry N of the
# loaded file is the object for entry N. Bitmaps are stored in 16-bit colour (the generator
# has already dithered them to 16-bit steps), and -s1 strips the grabber's properties, so
# neither dates nor build paths end up in the file and every build gives the same bytes.
# Invoked with -DDAT_TOOL=... -DWORK=... -DOUTPUT=...
set(tmp ${OUTPUT}.tmp)
file(REMOVE ${tmp})
file(GLOB images ${WORK}/images/*.bmp)
file(GLOB samples ${WORK}/samples/*.wav)
file(GLOB fonts ${WORK}/fonts/*.bmp)
file(GLOB spare ${WORK}/misc/*.txt)
foreach(kind IN ITEMS "BMP;images" "SAMP;samples" "FONT;fonts" "DATA;spare")
  list(GET kind 0 type)
  list(GET kind 1 var)
  set(extra)
  if(type STREQUAL "BMP")
    set(extra -bpp 16 -transparency)
  endif()
  execute_process(
    COMMAND ${DAT_TOOL} ${tmp} ${extra} -t ${type} -a ${${var}}
    RESULT_VARIABLE rc OUTPUT_QUIET)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "dat could not add the ${var} to the data file")
  endif()
endforeach()
execute_process(COMMAND ${DAT_TOOL} ${tmp} -s1 -n1 -c2 RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "dat could not finish the data file")
endif()
file(RENAME ${tmp} ${OUTPUT})
