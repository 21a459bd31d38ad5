# ICU and libxml2 as the engine's layers link them: `velmora_icu` and `velmora_xml2`.
#
# A program linked with the target property VELMORA_STATIC_DEPS set takes their static archives
# instead of the shared libraries. The command-line runner does, because loading and relocating
# the shared ICU (three libraries, one of them 30 MB of data) cost more than everything else a
# script's start does; linked in, the data is only mapped, and pages nobody reads are never
# touched. Everything else (tests, the Qt programs, hosts using the installed package) links the
# shared libraries as before.
find_package(ICU REQUIRED COMPONENTS uc i18n)
find_package(LibXml2 REQUIRED)
find_package(Threads REQUIRED)

# Every archive or none: a partial set would mix a static and a shared copy of one library.
set(_static_names icui18n icuuc icudata xml2 z lzma)
set(VELMORA_STATIC_DEPS_FOUND TRUE)
foreach(name IN LISTS _static_names)
  find_library(VELMORA_STATIC_${name} NAMES lib${name}.a)
  if(NOT VELMORA_STATIC_${name})
    set(VELMORA_STATIC_DEPS_FOUND FALSE)
  endif()
endforeach()

# $<TARGET_PROPERTY:VELMORA_STATIC_DEPS> is read on the program being linked, however deep in
# its dependencies the layer that needs the library sits.
set(_wants_static "$<BOOL:$<TARGET_PROPERTY:VELMORA_STATIC_DEPS>>")
function(_velmora_third_party target shared static)
  add_library(${target} INTERFACE)
  if(VELMORA_STATIC_DEPS_FOUND)
    target_link_libraries(${target} INTERFACE
      "$<BUILD_INTERFACE:$<IF:${_wants_static},${static},${shared}>>" "$<INSTALL_INTERFACE:${shared}>")
  else()
    target_link_libraries(${target} INTERFACE ${shared})
  endif()
  install(TARGETS ${target} EXPORT VelmoraTargets)
endfunction()

_velmora_third_party(velmora_icu "ICU::i18n;ICU::uc"
  "${VELMORA_STATIC_icui18n};${VELMORA_STATIC_icuuc};${VELMORA_STATIC_icudata};${CMAKE_DL_LIBS};Threads::Threads;m")
_velmora_third_party(velmora_xml2 "LibXml2::LibXml2"
  "${VELMORA_STATIC_xml2};velmora_icu;${VELMORA_STATIC_z};${VELMORA_STATIC_lzma};m")

# velmora_static_program(<target> [ORDER <file>] [DYNAMIC_TWIN <name>]): links <target> for the
# fastest start: the archives above, the C++ runtime linked in (a C++ program spends about as
# long loading the shared one as a C interpreter needs to start), and a fixed load address, so
# the loader has no relocations to apply to the program's own tables. ORDER names a
# section-ordering file (scripts/startup-order.sh writes it) that the gold linker follows to place
# the code that runs at start-up together. With DYNAMIC_TWIN the C library is linked in as well,
# so that no shared library is loaded at all, and a second program <name> is made from the same
# sources and libraries, linked as usual: a statically linked program cannot load plug-ins, so
# <target> hands what needs them to <name> (its code sees VELMORA_DYNAMIC_TWIN, the twin's name).
# Sanitizer builds keep everything shared (their runtimes replace the allocator and expect the
# shared C++ runtime).
include(CheckLinkerFlag)
check_linker_flag(CXX -fuse-ld=gold VELMORA_HAVE_GOLD)
check_linker_flag(CXX -static VELMORA_HAVE_STATIC_LINK)
function(velmora_static_program target)
  cmake_parse_arguments(ARG "" "ORDER;DYNAMIC_TWIN" "" ${ARGN})
  if(VELMORA_SANITIZE OR NOT VELMORA_STATIC_DEPS_FOUND)
    return()
  endif()
  if(ARG_DYNAMIC_TWIN AND VELMORA_HAVE_STATIC_LINK)
    get_target_property(_sources ${target} SOURCES)
    get_target_property(_libraries ${target} LINK_LIBRARIES)
    add_executable(${ARG_DYNAMIC_TWIN} ${_sources})
    target_link_libraries(${ARG_DYNAMIC_TWIN} PRIVATE ${_libraries})
    add_dependencies(${target} ${ARG_DYNAMIC_TWIN})
    target_compile_definitions(${target} PRIVATE VELMORA_DYNAMIC_TWIN="${ARG_DYNAMIC_TWIN}")
    target_link_options(${target} PRIVATE -static)
  endif()
  set_target_properties(${target} PROPERTIES VELMORA_STATIC_DEPS ON)
  target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc -no-pie)
  if(ARG_ORDER AND VELMORA_HAVE_GOLD)
    target_link_options(${target} PRIVATE -fuse-ld=gold "LINKER:--section-ordering-file,${ARG_ORDER}")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${ARG_ORDER})
  endif()
endfunction()
