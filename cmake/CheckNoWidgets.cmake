# cmake -DREADELF=readelf -DPROGRAM=<file> -P CheckNoWidgets.cmake
# Fails when the program lists Qt Widgets among the shared libraries it needs.
execute_process(COMMAND ${READELF} -d ${PROGRAM} OUTPUT_VARIABLE dynamic ERROR_VARIABLE error
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${READELF} -d ${PROGRAM}: ${error}")
endif()
# A program that lists no Qt library at all would pass for the wrong reason.
if(NOT dynamic MATCHES "NEEDED[^\n]*libQt6Gui")
  message(FATAL_ERROR "${PROGRAM} lists no Qt GUI library: the check cannot tell anything")
endif()
if(dynamic MATCHES "NEEDED[^\n]*libQt6Widgets")
  message(FATAL_ERROR "${PROGRAM} needs Qt Widgets:\n${dynamic}")
endif()
