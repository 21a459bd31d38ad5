# Runs one script through the command-line runner and compares standard output (and the exit
# status) with the expectations stored beside it:
#   NAME.out     expected standard output (required)
#   NAME.status  expected exit status (optional, default 0)
#   NAME.err     text that must appear in standard error (optional)
#   NAME.args    extra runner arguments, one per line (optional)
cmake_minimum_required(VERSION 3.25)
get_filename_component(_dir ${SCRIPT} DIRECTORY)
get_filename_component(_name ${SCRIPT} NAME_WLE)
set(_base ${_dir}/${_name})

set(_args)
if(EXISTS ${_base}.args)
  file(STRINGS ${_base}.args _args)
endif()
execute_process(COMMAND ${RUNNER} ${SCRIPT} ${_args}
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
string(REPLACE "\r\n" "\n" _out "${_out}")
if(NOT "${_out}" STREQUAL "${_want_out}")
  message(FATAL_ERROR "standard output differs.\n--- expected:\n${_want_out}\n--- actual:\n${_out}\nstderr:\n${_err}")
endif()

if(EXISTS ${_base}.err)
  file(READ ${_base}.err _want_err)
  string(STRIP "${_want_err}" _want_err)
  string(FIND "${_err}" "${_want_err}" _at)
  if(_at EQUAL -1)
    message(FATAL_ERROR "standard error lacks '${_want_err}'.\nstderr:\n${_err}")
  endif()
endif()
