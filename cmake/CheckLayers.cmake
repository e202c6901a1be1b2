# Fails when a file of a veilor layer includes a header of a higher layer.
# The layers are the numbered folders of veilor/, lowest first; a file may
# include headers of its own layer and of those below it. Folders of the
# same number (1_base, 1_age) stand side by side: neither includes the other. The test support
# (veilor/tests/support) stands above them all: each of its headers ranks
# with the highest layer that it, its source file or the support headers it
# includes reach, and a layer's tests may include it only from that layer up.
# Run by CTest:
#   cmake -DSOURCE_DIR=<veilor folder> -P CheckLayers.cmake

# The layer an include names ("2_crypto/…") or, for a support header, that
# header's rank; empty for any other include.
function(rank_of included result)
  set(reached "")
  if(included MATCHES "^([0-9]+)_")
    set(reached ${CMAKE_MATCH_1})
  elseif(DEFINED rank_${included})
    set(reached ${rank_${included}})
  endif()
  set(${result} "${reached}" PARENT_SCOPE)
endfunction()

# Rank of each support header, found by going over them until no rank rises
# (each round settles at least one more step of the includes among them).
file(GLOB support_headers RELATIVE ${SOURCE_DIR}/tests/support ${SOURCE_DIR}/tests/support/*.h)
foreach(header IN LISTS support_headers)
  string(REGEX REPLACE "\\.h$" "" unit "${header}")
  set(rank_${header} 0)
  set(lines_${header} "")
  foreach(source IN ITEMS ${unit}.h ${unit}.cpp)
    if(EXISTS ${SOURCE_DIR}/tests/support/${source})
      file(STRINGS ${SOURCE_DIR}/tests/support/${source} lines REGEX "^#include \"")
      list(APPEND lines_${header} ${lines})
    endif()
  endforeach()
endforeach()
set(changed TRUE)
while(changed)
  set(changed FALSE)
  foreach(header IN LISTS support_headers)
    foreach(line IN LISTS lines_${header})
      string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" included "${line}")
      rank_of("${included}" reached)
      if(reached AND reached GREATER rank_${header})
        set(rank_${header} ${reached})
        set(changed TRUE)
      endif()
    endforeach()
  endforeach()
endwhile()

file(GLOB layers RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/[0-9]_*)
set(violations "")
foreach(layer IN LISTS layers)
  string(REGEX MATCH "^[0-9]+" rank "${layer}")
  file(GLOB_RECURSE sources ${SOURCE_DIR}/${layer}/*.h ${SOURCE_DIR}/${layer}/*.cpp
       ${SOURCE_DIR}/${layer}/*.in)
  foreach(source IN LISTS sources)
    file(STRINGS ${source} includes REGEX "^#include \"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" included "${line}")
      rank_of("${included}" reached)
      set(sibling FALSE)
      if(included MATCHES "^([0-9]+_[^/]+)/" AND NOT CMAKE_MATCH_1 STREQUAL layer
         AND reached EQUAL rank)
        set(sibling TRUE)
      endif()
      if(reached AND (reached GREATER rank OR sibling))
        file(RELATIVE_PATH where ${SOURCE_DIR} ${source})
        string(APPEND violations "  ${where}: ${line} (layer ${reached})\n")
      endif()
    endforeach()
  endforeach()
endforeach()
if(violations)
  message(FATAL_ERROR "Includes pointing to a higher layer or a sibling:\n${violations}")
endif()
message(STATUS "Layers: ${layers} and the test support; no include points up")
