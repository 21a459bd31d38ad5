# Profile-guided optimisation (GCC): VELMORA_PGO=generate builds code that counts how it runs
# into VELMORA_PGO_DIR; VELMORA_PGO=use rebuilds the same build folder from those counts
# (scripts/build-pgo.sh does both, with the workload in bench/train). The profile lays out the
# dispatch loop's hot paths and keeps its registers where the common instructions need them.
set(VELMORA_PGO "" CACHE STRING "Profile-guided optimisation stage: empty, generate or use")
set_property(CACHE VELMORA_PGO PROPERTY STRINGS "" generate use)
set(VELMORA_PGO_DIR "${CMAKE_BINARY_DIR}/pgo-data" CACHE PATH "Where the profile counts are written and read")

if(VELMORA_PGO)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    message(FATAL_ERROR "VELMORA_PGO needs GCC (the compiler is ${CMAKE_CXX_COMPILER_ID})")
  endif()
  if(VELMORA_PGO STREQUAL "generate")
    # One thread trains, so plain counter updates are exact and cheaper than atomic ones.
    add_compile_options(-fprofile-generate -fprofile-update=single "-fprofile-dir=${VELMORA_PGO_DIR}")
    add_link_options(-fprofile-generate)
  elseif(VELMORA_PGO STREQUAL "use")
    # Code the workload never ran is optimised as without a profile, not as cold.
    add_compile_options(-fprofile-use -fprofile-partial-training -Wno-missing-profile
                        "-fprofile-dir=${VELMORA_PGO_DIR}")
  else()
    message(FATAL_ERROR "VELMORA_PGO must be empty, generate or use (not '${VELMORA_PGO}')")
  endif()
endif()
