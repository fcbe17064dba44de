# add_emulated_suite(TARGET)
#
# Registers a cross-built GoogleTest program as one test run through the
# toolchain's emulator (wine): starting it is slow, so the whole suite runs
# in one process rather than one per test case.
#
# Windows finds a program's DLLs beside it, so the program is placed with the
# host's libmx.dll and libmex.dll. Wine keeps its state in a prefix inside the
# build tree, made on the first run, so nothing is written to the home folder.
function(add_emulated_suite target)
  if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    message(FATAL_ERROR "${target}: no emulator found to run the cross-built tests (wine)")
  endif()
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/host)
  add_test(NAME ${target} COMMAND ${target})
  set_tests_properties(${target} PROPERTIES ENVIRONMENT
    "WINEPREFIX=${CMAKE_BINARY_DIR}/wine;WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=")
endfunction()
