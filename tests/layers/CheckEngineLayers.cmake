cmake_minimum_required(VERSION 3.25)
# Fails when a folder of the engine includes a header of a folder above it.
# Every engine header name is unique, so an include is resolved by its file
# name to the folder that holds it; names that are not engine headers (the
# system's, the scene graph's) are not checked.
#
# Usage: cmake -DENGINE_DIR=<source>/engine -P CheckEngineLayers.cmake

# Each folder and the folders it may use. The engine's top ("core") may use
# them all; nothing may use it. The detection core stands alone.
set(allowed_base "")
set(allowed_platform base)
set(allowed_platform/media base)
set(allowed_tracking/core "")
set(allowed_sound base platform)
set(allowed_effects base platform)
set(allowed_video base platform platform/media)
set(allowed_tracking base platform tracking/core)
set(allowed_objects base platform effects sound video tracking)
set(allowed_hud base platform effects objects sound video)
set(allowed_content base platform effects objects sound video tracking hud)
set(folders base platform platform/media tracking/core sound effects video tracking objects hud content)

# The folder of every engine header.
file(GLOB_RECURSE headers RELATIVE ${ENGINE_DIR} ${ENGINE_DIR}/*.h)
foreach(h ${headers})
  get_filename_component(name ${h} NAME)
  get_filename_component(dir ${h} DIRECTORY)
  # Folders below the detection core belong to it.
  string(REGEX REPLACE "^tracking/core/.*" "tracking/core" dir "${dir}")
  set(home_${name} ${dir})
endforeach()

set(faults "")
foreach(folder ${folders})
  if(folder STREQUAL "tracking/core")
    file(GLOB_RECURSE sources ${ENGINE_DIR}/${folder}/*.h ${ENGINE_DIR}/${folder}/*.cpp)
  else()
    file(GLOB sources ${ENGINE_DIR}/${folder}/*.h ${ENGINE_DIR}/${folder}/*.cpp)
  endif()
  foreach(source ${sources})
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${includes})
      string(REGEX REPLACE ".*\"([^\"]*)\".*" "\\1" included "${line}")
      get_filename_component(name ${included} NAME)
      if(NOT DEFINED home_${name})
        continue()
      endif()
      set(home ${home_${name}})
      if(home STREQUAL folder OR home IN_LIST allowed_${folder})
        continue()
      endif()
      file(RELATIVE_PATH shown ${ENGINE_DIR} ${source})
      list(APPEND faults "engine/${shown} includes ${included} of engine/${home}")
    endforeach()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Lower layers include upper ones:\n  ${text}")
endif()
message(STATUS "Engine layers: no folder includes one above it")
