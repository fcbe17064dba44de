# add_emulated_suite(TARGET LONG_FILTER)
#
# Registers a cross-built GoogleTest program as tests run through the
# toolchain's emulator (wine, or qemu user emulation): starting it is slow, so
# the suite runs in two processes, one per core, each taking half of the test
# cases (GoogleTest's sharding), rather than one process per case. The cases
# LONG_FILTER matches, if any, run apart, as one test labelled "long".
#
# 32-bit wine runs on machines whose kernel executes 32-bit programs only:
# elsewhere tools/wine32.sh reports its tests skipped, saying why.
#
# Windows finds a program's DLLs beside it, so the program is placed with the
# host's libmx.dll and libmex.dll. Wine keeps its state in a prefix inside the
# build tree, so nothing is written to the home folder. The prefix is made by
# a test of its own that every suite waits for: processes that make it at
# once lose the wine server they start.
#
# add_emulated_run(NAME TARGET FILTER [ENVIRONMENT...]) registers one more run
# of such a program, in one process: the cases FILTER matches, with the
# environment given.
function(add_emulated_run name target filter)
  if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    message(FATAL_ERROR "${target}: no emulator found to run the cross-built tests")
  endif()
  set(launcher "")
  set(environment "")
  set(fixture "")
  if(WIN32)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/host)
    set(environment WINEPREFIX=${CMAKE_BINARY_DIR}/wine WINEDEBUG=-all
                    "WINEDLLOVERRIDES=mscoree,mshtml=")
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(launcher bash ${PROJECT_SOURCE_DIR}/tools/wine32.sh run)
    endif()
    set(fixture wine_prefix)
    # One such test in the whole build, whichever folder's suite comes first.
    get_property(made GLOBAL PROPERTY EMULATED_WINE_PREFIX)
    if(NOT made)
      set_property(GLOBAL PROPERTY EMULATED_WINE_PREFIX ON)
      add_test(NAME wine_prefix COMMAND ${launcher} ${CMAKE_CROSSCOMPILING_EMULATOR} cmd /c exit)
      set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine_prefix SKIP_RETURN_CODE 77
        ENVIRONMENT "${environment}")
    endif()
  endif()
  add_test(NAME ${name} COMMAND ${launcher} ${CMAKE_CROSSCOMPILING_EMULATOR}
           $<TARGET_FILE:${target}> --gtest_filter=${filter})
  list(APPEND environment GTEST_BRIEF=1 ${ARGN})
  set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77 FIXTURES_REQUIRED "${fixture}"
    ENVIRONMENT "${environment}")
endfunction()

function(add_emulated_suite target long_filter)
  set(shards 2)
  math(EXPR last "${shards} - 1")
  foreach(shard RANGE ${last})
    math(EXPR number "${shard} + 1")
    add_emulated_run(${target}.${number}of${shards} ${target} -${long_filter}
                     GTEST_TOTAL_SHARDS=${shards} GTEST_SHARD_INDEX=${shard})
  endforeach()
  if(long_filter)
    add_emulated_run(${target}.long ${target} ${long_filter})
    set_tests_properties(${target}.long PROPERTIES LABELS long RUN_SERIAL ON)
  endif()
endfunction()
