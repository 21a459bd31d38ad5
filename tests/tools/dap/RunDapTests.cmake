# Installs the protocol's test client into the build tree (pinned by package-lock.json; npm's
# cache makes later runs work offline) and runs the protocol tests against the runner.
#   -DSOURCE_DIR=<this folder> -DWORK_DIR=<build folder> -DRUNNER=<velmora> -DNPM=<npm> -DNODE=<node>
cmake_minimum_required(VERSION 3.25)
file(MAKE_DIRECTORY ${WORK_DIR})
file(COPY_FILE ${SOURCE_DIR}/package.json ${WORK_DIR}/package.json ONLY_IF_DIFFERENT)
file(COPY_FILE ${SOURCE_DIR}/package-lock.json ${WORK_DIR}/package-lock.json ONLY_IF_DIFFERENT)
if(NOT EXISTS ${WORK_DIR}/node_modules/@vscode/debugadapter-testsupport/package.json
   OR ${WORK_DIR}/package-lock.json IS_NEWER_THAN ${WORK_DIR}/node_modules/.package-lock.json)
  execute_process(COMMAND ${NPM} ci --no-audit --no-fund --prefer-offline
                  WORKING_DIRECTORY ${WORK_DIR} RESULT_VARIABLE _npm OUTPUT_VARIABLE _out ERROR_VARIABLE _out
                  TIMEOUT 300)
  if(NOT _npm EQUAL 0)
    message(FATAL_ERROR "npm ci failed:\n${_out}")
  endif()
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env VELMORA=${RUNNER} NODE_PATH=${WORK_DIR}/node_modules
                        ${NODE} --test ${SOURCE_DIR}/dap.test.js
                RESULT_VARIABLE _status OUTPUT_VARIABLE _out ERROR_VARIABLE _out TIMEOUT 240)
if(NOT _status EQUAL 0)
  message(FATAL_ERROR "protocol tests failed:\n${_out}")
endif()
