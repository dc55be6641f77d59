# Keeps the layers of src/ apart: each folder listed below may include only
# the folders given for it. Run as a test:
#   cmake -DSRC=<src dir> -P CheckLayers.cmake
# Fails with the offending file and line when an include reaches upward.
set(LAYERS
  "platform:platform"
  "core:core,platform"
  "setup:setup,core,platform")

set(failures "")
foreach(layer ${LAYERS})
  string(REPLACE ":" ";" parts "${layer}")
  list(GET parts 0 folder)
  list(GET parts 1 allowed)
  string(REPLACE "," ";" allowed "${allowed}")
  file(GLOB_RECURSE files "${SRC}/${folder}/*.h" "${SRC}/${folder}/*.cpp")
  foreach(f ${files})
    file(STRINGS "${f}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${includes})
      string(REGEX MATCH "\"([^\"]*)\"" _ "${line}")
      set(target "${CMAKE_MATCH_1}")
      string(REGEX MATCH "^([^/]*)/" _ "${target}")
      set(dir "${CMAKE_MATCH_1}")
      list(FIND allowed "${dir}" at)
      if(at EQUAL -1)
        file(RELATIVE_PATH rel "${SRC}" "${f}")
        list(APPEND failures "${rel}: #include \"${target}\" (${folder} may include only ${allowed})")
      endif()
      # The window stand-in is the run log's store: core reaches it only
      # through the run log.
      if(folder STREQUAL "core" AND target STREQUAL "platform/Form.h"
         AND NOT f MATCHES "/core/RunLog\\.cpp$")
        file(RELATIVE_PATH rel "${SRC}" "${f}")
        list(APPEND failures "${rel}: #include \"${target}\" (core writes the run log through core/RunLog.h)")
      endif()
    endforeach()
  endforeach()
endforeach()

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "includes that cross the layers:\n  ${text}")
endif()
message(STATUS "layers kept: platform, core, setup")
