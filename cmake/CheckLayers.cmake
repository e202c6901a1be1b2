# Fails when a file of a veilor layer includes a header of a higher layer.
# The layers are the numbered folders of veilor/, lowest first; a file may
# include headers of its own layer and of those below it. Run by CTest:
#   cmake -DSOURCE_DIR=<veilor folder> -P CheckLayers.cmake
file(GLOB layers RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/[0-9]_*)
set(violations "")
foreach(layer IN LISTS layers)
  string(REGEX MATCH "^[0-9]+" rank "${layer}")
  file(GLOB_RECURSE sources ${SOURCE_DIR}/${layer}/*.h ${SOURCE_DIR}/${layer}/*.cpp
       ${SOURCE_DIR}/${layer}/*.in)
  foreach(source IN LISTS sources)
    file(STRINGS ${source} includes REGEX "^#include \"[0-9]+_")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^#include \"([0-9]+)_.*" "\\1" included "${line}")
      if(included GREATER rank)
        file(RELATIVE_PATH where ${SOURCE_DIR} ${source})
        string(APPEND violations "  ${where}: ${line}\n")
      endif()
    endforeach()
  endforeach()
endforeach()
if(violations)
  message(FATAL_ERROR "Includes pointing to a higher layer:\n${violations}")
endif()
message(STATUS "Layers: ${layers}; no include points up")
