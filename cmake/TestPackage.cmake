# Installs the build tree into a temporary prefix, builds the example host against it with
# find_package, and runs it. Run as:
#   cmake -DBUILD_DIR=… -DEXAMPLE_DIR=… -DWORK_DIR=… -DGENERATOR=… -DCXX=… -P TestPackage.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK_DIR})
set(_prefix ${WORK_DIR}/prefix)

function(step)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE _status OUTPUT_VARIABLE _out ERROR_VARIABLE _err)
  if(NOT _status EQUAL 0)
    message(FATAL_ERROR "failed (${_status}): ${ARGN}\n${_out}\n${_err}")
  endif()
  set(_out "${_out}" PARENT_SCOPE)
endfunction()

step(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${_prefix})
step(${CMAKE_COMMAND} -S ${EXAMPLE_DIR} -B ${WORK_DIR}/build -G ${GENERATOR} -DCMAKE_CXX_COMPILER=${CXX}
     -DCMAKE_PREFIX_PATH=${_prefix} -DCMAKE_BUILD_TYPE=Release)
step(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
step(${WORK_DIR}/build/embedding)
set(_want "Thermostat at 21.5, changes seen by the script: 2, script says: warmer by 1.5\n")
if(NOT _out STREQUAL _want)
  message(FATAL_ERROR "unexpected output:\n${_out}\nexpected:\n${_want}")
endif()
