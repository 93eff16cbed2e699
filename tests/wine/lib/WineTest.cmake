# brenlow_add_wine_test(NAME <name> SCRIPT <file.py> [PREFIX <prefix>]
#                       [TIMEOUT <s>] [LABELS <l>...] [ARGS <arg>...] [WIN64])
# Adds a python3 test that drives a Windows program under Wine and Xvfb with
# the harness beside this file (winesession.py). In ARGS, @WIN@ stands for
# the build tree of the i686 deliverable (build/win32). WIN64 adds a twin <name>.win64 that runs the
# x86_64 build instead; on a machine that cannot run 32-bit programs every
# test gets that twin, so the Windows code is still tested end to end there
# while the 32-bit runs report themselves skipped. Tests that share a
# WINEPREFIX are kept from running at the same time; every test has a timeout.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(BRENLOW_WINE_LIB ${CMAKE_CURRENT_LIST_DIR})
set(BRENLOW_WIN64_DIR ${CMAKE_SOURCE_DIR}/build/win64 CACHE PATH "win64 build tree")
set(BRENLOW_WIN32_DIR ${CMAKE_SOURCE_DIR}/build/win32 CACHE PATH "win32 build tree")

# Asked at every configure (once), so a machine that learns to run 32-bit
# programs gets the right tests at its next configure.
get_property(BRENLOW_WIN32_ANSWER GLOBAL PROPERTY BRENLOW_WIN32_ANSWER)
if(NOT BRENLOW_WIN32_ANSWER)
  execute_process(
    COMMAND ${Python3_EXECUTABLE} -c
      "import pe; ok, why = pe.win32_support(); print('yes' if ok else why)"
    WORKING_DIRECTORY ${BRENLOW_WINE_LIB}
    OUTPUT_VARIABLE BRENLOW_WIN32_ANSWER OUTPUT_STRIP_TRAILING_WHITESPACE)
  set_property(GLOBAL PROPERTY BRENLOW_WIN32_ANSWER "${BRENLOW_WIN32_ANSWER}")
  if(NOT BRENLOW_WIN32_ANSWER STREQUAL "yes")
    message(STATUS "32-bit Windows programs cannot run here (${BRENLOW_WIN32_ANSWER}): "
      "the Wine tests run the win64 build in their place")
  endif()
endif()
if(BRENLOW_WIN32_ANSWER STREQUAL "yes")
  set(BRENLOW_WIN32_RUNS_HERE ON)
else()
  set(BRENLOW_WIN32_RUNS_HERE OFF)
endif()

function(brenlow_add_wine_test)
  cmake_parse_arguments(T "WIN64" "NAME;SCRIPT;PREFIX;TIMEOUT" "LABELS;ARGS" ${ARGN})
  if(NOT T_PREFIX)
    set(T_PREFIX default)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set(variants win32)
  if(T_WIN64 OR NOT BRENLOW_WIN32_RUNS_HERE)
    list(APPEND variants win64)
  endif()
  foreach(variant ${variants})
    set(name ${T_NAME})
    set(tree ${BRENLOW_WIN32_DIR})
    if(variant STREQUAL "win64")
      set(name ${T_NAME}.win64)
      set(tree ${BRENLOW_WIN64_DIR})
    endif()
    list(TRANSFORM T_ARGS REPLACE "@WIN@" "${tree}" OUTPUT_VARIABLE args)
    add_test(NAME ${name}
      COMMAND ${Python3_EXECUTABLE} ${T_SCRIPT} ${args}
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    set_tests_properties(${name} PROPERTIES
      LABELS "wine;${variant};${T_LABELS}"
      TIMEOUT ${T_TIMEOUT}
      SKIP_RETURN_CODE 77
      RESOURCE_LOCK wineprefix-${T_PREFIX}
      ENVIRONMENT "PYTHONPATH=${BRENLOW_WINE_LIB}:${CMAKE_SOURCE_DIR}/tests/wine/saver:${CMAKE_SOURCE_DIR}/tests/linux;PYTHONDONTWRITEBYTECODE=1;BRENLOW_WINE_PREFIX=${T_PREFIX}")
  endforeach()
endfunction()
