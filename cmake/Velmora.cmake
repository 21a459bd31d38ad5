include(GNUInstallDirs)

# velmora_library(<target> [PARTS <subfolders...>] DEPS <targets...>)
# A static library built from every .cpp in the calling folder (or in each of its PARTS);
# headers are included as "<layer>/<module>/Header.h" from the source root.
function(velmora_library target)
  cmake_parse_arguments(ARG "" "" "PARTS;DEPS" ${ARGN})
  set(_globs ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(part IN LISTS ARG_PARTS)
    list(APPEND _globs ${CMAKE_CURRENT_SOURCE_DIR}/${part}/*.cpp)
  endforeach()
  file(GLOB _srcs CONFIGURE_DEPENDS ${_globs})
  add_library(${target} STATIC ${_srcs})
  target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
                                              $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/velmora>)
  target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  # Every engine library is part of the installed package (cmake/Install.cmake).
  install(TARGETS ${target} EXPORT VelmoraTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
endfunction()

# velmora_test(<target> DEPS <targets...>)
# A GoogleTest executable from every .cpp in the calling folder, registered with CTest.
function(velmora_test target)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${target} ${_srcs})
  target_link_libraries(${target} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
endfunction()
