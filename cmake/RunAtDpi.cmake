# Runs a Windows test program under Wine with the display at another DPI:
#   cmake -DWINE=wine -DDPI=144 -DPROGRAM=x.exe [-DARGS=...] -P RunAtDpi.cmake
# Wine takes the DPI from the user's LogPixels when a program starts; it is set
# back to 96 afterwards, so that the prefix's later programs run at 96 DPI.
set(desktop "HKCU\\Control Panel\\Desktop")
function(set_dpi value)
  execute_process(COMMAND ${WINE} reg add ${desktop} /v LogPixels /t REG_DWORD /d ${value} /f
                  RESULT_VARIABLE failed OUTPUT_QUIET ERROR_QUIET)
  if(failed)
    message(FATAL_ERROR "could not set the display to ${value} DPI")
  endif()
endfunction()

set_dpi(${DPI})
execute_process(COMMAND ${WINE} ${PROGRAM} ${ARGS} RESULT_VARIABLE result)
set_dpi(96)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} at ${DPI} DPI: ${result}")
endif()
