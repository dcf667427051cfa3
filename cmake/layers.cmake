# Fails when a source of the tree includes a header of a folder below its own in the README's code
# map, or of another folder of its own row. Every folder not named below belongs to the deepest
# named folder that holds it (a tests/ folder to the folder it stands in); tests may also include
# the test support of a testing/ folder. Run as: cmake -DTOP=<source folder> -P layers.cmake
set(layers
    common
    engine/numerics
    engine/tez
    engine/tez/bench
    platform
    platform/console
    platform/testing
    control_window/model
    control_window/files
    control_window/windows
    control_window/windows/editors
    control_window/windows/main
    control_window/tests
    control_window/bench
    viewers/core
    "viewers/marvent|viewers/sulbrin"
    viewers/tovrask
    viewers/bench
    docs
    examples
    fuzz)

# The rank of the row that holds `path` and the named folder itself, or -1.
function(layer_of path rank_out folder_out)
  set(rank 0)
  set(found -1)
  set(folder "")
  set(length 0)
  foreach(row ${layers})
    string(REPLACE "|" ";" names "${row}")
    foreach(name ${names})
      string(LENGTH "${name}/" n)
      string(SUBSTRING "${path}" 0 ${n} head)
      if(head STREQUAL "${name}/" AND n GREATER length)
        set(found ${rank})
        set(folder ${name})
        set(length ${n})
      endif()
    endforeach()
    math(EXPR rank "${rank} + 1")
  endforeach()
  set(${rank_out} ${found} PARENT_SCOPE)
  set(${folder_out} "${folder}" PARENT_SCOPE)
endfunction()

set(faults "")
file(GLOB_RECURSE sources RELATIVE ${TOP} ${TOP}/common/* ${TOP}/engine/* ${TOP}/platform/*
     ${TOP}/control_window/* ${TOP}/viewers/* ${TOP}/docs/* ${TOP}/examples/* ${TOP}/fuzz/*)
list(FILTER sources INCLUDE REGEX "\\.(cpp|h)$")
foreach(source ${sources})
  layer_of(${source} own own_folder)
  file(STRINGS ${TOP}/${source} includes
       REGEX "^#include \"(common|engine|platform|control_window|viewers|docs|examples|fuzz)/")
  foreach(line ${includes})
    string(REGEX REPLACE "^#include \"([^\"]*)\".*" "\\1" header "${line}")
    layer_of(${header} theirs their_folder)
    if(theirs EQUAL -1)
      string(APPEND faults "  ${source} includes ${header}, which no layer holds\n")
    elseif(their_folder STREQUAL own_folder OR theirs LESS own)
      # Its own folder, or a folder above it.
    elseif(source MATCHES "/tests/" AND header MATCHES "/testing/")
      # Test support serves the tests of every layer.
    else()
      string(APPEND faults "  ${source} includes ${header}\n")
    endif()
  endforeach()
endforeach()
if(faults)
  message(FATAL_ERROR "Includes that run upward or across the layers:\n${faults}")
endif()
