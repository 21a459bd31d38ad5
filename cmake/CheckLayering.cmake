# Fails when a source file includes a header of a layer it may not see.
# Run as: cmake -DSOURCE_DIR=<root> -P CheckLayering.cmake
#
# Each entry is "layer:the layers it builds on directly, comma-separated"; what those build on is visible too.
# Files of one layer may include each other. Siblings (the two dialects, say) never see each other.
cmake_minimum_required(VERSION 3.25)

set(LAYERS
  "platform/core:"
  "platform/text:platform/core"
  "platform/ole:platform/text"
  "platform/rtl:platform/core"
  "platform/ui:platform/core"
  "xmldom:platform/ole"
  "qt:platform/ui"
  "foundation:platform/core"
  "vm/bytecode:platform/ole,platform/rtl,foundation"
  "vm/compiler:vm/bytecode"
  "vm/interp:vm/compiler"
  "vm/machine:vm/interp"
  "vm/debug:vm/machine"
  "lang/pascal:vm/machine,platform/ui"
  "lang/vb:vm/machine,platform/ui"
  "wrappers:vm/machine"
  "activescript:platform/ole"
  "activescript/engines:activescript,lang/vb,vm/debug"
  "activescript/plugins:activescript"
  "components:wrappers,lang/pascal,lang/vb,vm/debug,activescript/engines"
  "tools/velmora:components,xmldom"
  "demo:qt,components,xmldom")

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR is not set")
endif()

set(names "")
foreach(entry IN LISTS LAYERS)
  string(REPLACE ":" ";" parts "${entry}")
  string(REPLACE "," ";" parts "${parts}")
  list(GET parts 0 name)
  list(LENGTH parts n)
  set(direct "")
  if(n GREATER 1)
    list(SUBLIST parts 1 -1 direct)
  endif()
  list(APPEND names "${name}")
  # The visible set is the closure of the direct bases; bases are listed before their users.
  set(visible "${name}")
  foreach(base IN LISTS direct)
    if(NOT DEFINED "visible_${base}")
      message(FATAL_ERROR "layer ${name} builds on ${base}, which is not listed before it")
    endif()
    list(APPEND visible ${visible_${base}})
  endforeach()
  list(REMOVE_DUPLICATES visible)
  set("visible_${name}" "${visible}")
endforeach()

# The layer a path belongs to: the longest layer name that prefixes it.
function(layer_of path out)
  set(best "")
  foreach(name IN LISTS names)
    string(LENGTH "${name}" len)
    string(LENGTH "${path}/" path_len)
    if(len GREATER_EQUAL path_len)
      continue()  # a layer name as long as the path cannot prefix it
    endif()
    string(SUBSTRING "${path}/" 0 ${len} head)
    string(SUBSTRING "${path}/" ${len} 1 sep)
    if(head STREQUAL name AND sep STREQUAL "/")
      string(LENGTH "${best}" best_len)
      if(len GREATER best_len)
        set(best "${name}")
      endif()
    endif()
  endforeach()
  set(${out} "${best}" PARENT_SCOPE)
endfunction()

set(violations 0)
foreach(name IN LISTS names)
  file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${name}/*.h" "${SOURCE_DIR}/${name}/*.cpp")
  foreach(file IN LISTS files)
    layer_of("${file}" own)
    if(NOT own STREQUAL name)
      continue()  # a deeper layer of its own handles it
    endif()
    file(STRINGS "${SOURCE_DIR}/${file}" includes REGEX "^#include \"[^\"]+\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" header "${line}")
      layer_of("${header}" target)
      if(target STREQUAL "")
        continue()  # not a layer's header (a test helper, say)
      endif()
      if(NOT target IN_LIST "visible_${name}")
        message(SEND_ERROR "${file}: includes ${header}, but ${name} may not see ${target}")
        math(EXPR violations "${violations} + 1")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations GREATER 0)
  message(FATAL_ERROR "${violations} include(s) point up or sideways")
endif()
message(STATUS "Layering holds")
