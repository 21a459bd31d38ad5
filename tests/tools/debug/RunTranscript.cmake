# Runs one debugger transcript: `velmora --debug SCRIPT` reads the commands of NAME.in on
# standard input, and its standard output must equal NAME.out (exit status NAME.status, 0 when
# there is none).
cmake_minimum_required(VERSION 3.25)
get_filename_component(_dir ${INPUT} DIRECTORY)
get_filename_component(_name ${INPUT} NAME_WLE)
set(_base ${_dir}/${_name})
file(GLOB _script ${_base}.pas ${_base}.vbs ${_base}.js ${_base}.py ${_base}.lua)
execute_process(COMMAND ${RUNNER} --debug ${_script}
                INPUT_FILE ${INPUT}
                OUTPUT_VARIABLE _out ERROR_VARIABLE _err RESULT_VARIABLE _status
                TIMEOUT 60)
set(_want_status 0)
if(EXISTS ${_base}.status)
  file(STRINGS ${_base}.status _want_status LIMIT_COUNT 1)
endif()
if(NOT "${_status}" STREQUAL "${_want_status}")
  message(FATAL_ERROR "exit status ${_status}, expected ${_want_status}\nstdout:\n${_out}\nstderr:\n${_err}")
endif()
file(READ ${_base}.out _want_out)
if(NOT "${_out}" STREQUAL "${_want_out}")
  message(FATAL_ERROR "standard output differs\n--- expected:\n${_want_out}\n--- got:\n${_out}\nstderr:\n${_err}")
endif()
