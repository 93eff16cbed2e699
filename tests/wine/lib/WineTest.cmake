# brenlow_add_wine_test(NAME <name> SCRIPT <file.py> [PREFIX <prefix>]
#                       [TIMEOUT <s>] [LABELS <l>...] [ARGS <arg>...])
# Adds a python3 test that drives a Windows program under wine64 and Xvfb
# with tests/wine/lib/winehelp.py. Tests that share a WINEPREFIX are kept
# from running at the same time; every test has a timeout.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(BRENLOW_WINE_LIB ${CMAKE_CURRENT_LIST_DIR})

function(brenlow_add_wine_test)
  cmake_parse_arguments(T "" "NAME;SCRIPT;PREFIX;TIMEOUT" "LABELS;ARGS" ${ARGN})
  if(NOT T_PREFIX)
    set(T_PREFIX default)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_test(NAME ${T_NAME}
    COMMAND ${Python3_EXECUTABLE} ${T_SCRIPT} ${T_ARGS}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(${T_NAME} PROPERTIES
    LABELS "wine;${T_LABELS}"
    TIMEOUT ${T_TIMEOUT}
    RESOURCE_LOCK wineprefix-${T_PREFIX}
    ENVIRONMENT "PYTHONPATH=${BRENLOW_WINE_LIB};PYTHONDONTWRITEBYTECODE=1;BRENLOW_WINE_PREFIX=${T_PREFIX}")
endfunction()
