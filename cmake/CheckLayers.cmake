# Keeps the layers of src/ apart. Run as a test:
#   cmake -DSRC=<src dir> -P CheckLayers.cmake
# Fails with the offending file and line when an include reaches a folder its
# own folder may not include, and when a folder of src/ has no row below.
#
# One row per folder of src/: the folders it may include besides itself. A
# row lists only folders of the rows above it, so an include never leads back
# into the folder it came from, directly or through other folders, and only
# app (the last row) may include app/. A new folder gets its row here, above
# every folder that includes it.
cmake_minimum_required(VERSION 3.20)

set(LAYERS
  "platform:"
  "core: platform"
  "setup: core platform"
  "hooks: core platform"
  "contact: hooks setup core platform"
  "motion: contact hooks setup core platform"
  "decision: motion contact hooks setup core platform"
  "flow: decision motion contact hooks setup core platform"
  "output: setup core platform"
  "app: flow decision motion contact output hooks setup core platform")

set(failures "")
set(rows "")

# The table itself: each folder listed only once, and only below its own row.
foreach(layer ${LAYERS})
  string(REGEX MATCH "^([a-z]+):(.*)$" _ "${layer}")
  set(folder "${CMAKE_MATCH_1}")
  separate_arguments(allowed UNIX_COMMAND "${CMAKE_MATCH_2}")
  if(folder IN_LIST rows)
    list(APPEND failures "layer table: ${folder} has two rows")
  endif()
  foreach(dir ${allowed})
    if(NOT dir IN_LIST rows)
      list(APPEND failures "layer table: ${folder} may include ${dir}, which has no row above it")
    endif()
  endforeach()
  list(APPEND rows "${folder}")
  set(allowed_${folder} ${folder} ${allowed})
endforeach()

# Every folder of src/ has a row.
file(GLOB children LIST_DIRECTORIES true "${SRC}/*")
foreach(child ${children})
  if(IS_DIRECTORY "${child}")
    get_filename_component(name "${child}" NAME)
    if(NOT name IN_LIST rows)
      list(APPEND failures "src/${name}/ has no row in the layer table")
    endif()
  endif()
endforeach()

# Every quoted include of every folder names a folder its own may include.
foreach(folder ${rows})
  set(allowed ${allowed_${folder}})
  file(GLOB_RECURSE files "${SRC}/${folder}/*.h" "${SRC}/${folder}/*.cpp")
  foreach(f ${files})
    file(RELATIVE_PATH rel "${SRC}" "${f}")
    file(STRINGS "${f}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${includes})
      string(REGEX MATCH "\"([^\"]*)\"" _ "${line}")
      set(target "${CMAKE_MATCH_1}")
      set(dir "")
      if(target MATCHES "^([^/]+)/")
        set(dir "${CMAKE_MATCH_1}")
      endif()
      if(NOT dir IN_LIST allowed)
        string(REPLACE ";" ", " names "${allowed}")
        list(APPEND failures "${rel}: #include \"${target}\" (${folder} may include only ${names})")
      endif()
      # The window stand-in is the run log's store: core reaches it only
      # through the run log.
      if(folder STREQUAL "core" AND target STREQUAL "platform/Form.h"
         AND NOT f MATCHES "/core/RunLog\\.cpp$")
        list(APPEND failures "${rel}: #include \"${target}\" (core writes the run log through core/RunLog.h)")
      endif()
    endforeach()
  endforeach()
endforeach()

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "includes that cross the layers:\n  ${text}")
endif()
string(REPLACE ";" ", " order "${rows}")
message(STATUS "layers kept: ${order}")
