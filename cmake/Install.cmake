# The installed package: headers under include/velmora (as the sources include them), the
# engine's static libraries, and a CMake package, so that a host project writes
#   find_package(Velmora CONFIG REQUIRED)
#   target_link_libraries(app PRIVATE Velmora::Velmora)
# Velmora::Velmora is the script control with everything below it; the layers are exported too
# (Velmora::velmora_vm, Velmora::velmora_wrappers, ...).
include(CMakePackageConfigHelpers)

add_library(velmora_all INTERFACE)
set_target_properties(velmora_all PROPERTIES EXPORT_NAME Velmora)
target_link_libraries(velmora_all INTERFACE velmora_components)
target_compile_features(velmora_all INTERFACE cxx_std_20)
# Libraries built with sanitizers need their runtimes in the host's link too.
if(VELMORA_SANITIZE)
  list(JOIN VELMORA_SANITIZE "," _san_list)
  target_link_options(velmora_all INTERFACE -fsanitize=${_san_list})
endif()
install(TARGETS velmora_all EXPORT VelmoraTargets)

foreach(dir IN LISTS VELMORA_LAYERS)
  if(dir MATCHES "^tools/")
    continue()
  endif()
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/${dir}/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/velmora/${dir}
          FILES_MATCHING PATTERN "*.h")
endforeach()

set(_config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Velmora)
install(EXPORT VelmoraTargets NAMESPACE Velmora:: DESTINATION ${_config_dir})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/VelmoraConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/VelmoraConfig.cmake INSTALL_DESTINATION ${_config_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/VelmoraConfigVersion.cmake COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/VelmoraConfig.cmake ${PROJECT_BINARY_DIR}/VelmoraConfigVersion.cmake
        DESTINATION ${_config_dir})

# The example host is configured and built against a fresh installation, then run.
add_test(NAME package/example
         COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${PROJECT_BINARY_DIR} -DEXAMPLE_DIR=${PROJECT_SOURCE_DIR}/examples/embedding
                 -DWORK_DIR=${PROJECT_BINARY_DIR}/package-test -DGENERATOR=${CMAKE_GENERATOR}
                 -DCXX=${CMAKE_CXX_COMPILER} -P ${PROJECT_SOURCE_DIR}/cmake/TestPackage.cmake)
set_tests_properties(package/example PROPERTIES TIMEOUT 300)
