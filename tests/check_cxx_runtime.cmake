# cmake -DOBJDUMP=... -DMODULES="a;b" -P check_cxx_runtime.cmake
#   fails when a Linux module needs a C++ runtime newer than MATLAB's: MATLAB
#   loads its own libstdc++ before any MEX file, and a module that needs a
#   later symbol version (GLIBCXX after 3.4.21 or CXXABI after 1.3.9, GCC 5)
#   fails to load ("GLIBCXX_3.4.30 not found"). Also fails on a module marked
#   for static TLS, which a program that loads many libraries at run time,
#   as MATLAB does, may have no room left for.
# cmake -DOBJDUMP=... -DCXX=... -DFLAGS="..." -DWORK=dir -P check_cxx_runtime.cmake
#   checks the check: a library using std::thread must fail it when linked
#   with the C++ runtime as a shared library, and pass when linked with
#   FLAGS, the modules' own link flags.

include(${CMAKE_CURRENT_LIST_DIR}/disassemble.cmake)

set(newest_GLIBCXX 3.4.21)
set(newest_CXXABI 1.3.9)

# What is wrong with file, one line each; "" when nothing.
function(runtime_failures file out)
  get_filename_component(name ${file} NAME)
  objdump(${file} symbols -T)
  string(REGEX MATCHALL "\\((GLIBCXX|CXXABI)_[0-9.]+\\) [^\n]+" versioned "${symbols}")
  set(failures "")
  foreach(entry IN LISTS versioned)
    string(REGEX MATCH "^\\(([A-Z]+)_([0-9.]+)\\) (.+)$" _ "${entry}")
    if(CMAKE_MATCH_2 VERSION_GREATER newest_${CMAKE_MATCH_1})
      string(APPEND failures "${name}: needs ${CMAKE_MATCH_1}_${CMAKE_MATCH_2} (${CMAKE_MATCH_3})\n")
    endif()
  endforeach()
  objdump(${file} headers -p)
  if(headers MATCHES "\n  FLAGS +[^\n]*STATIC_TLS")
    string(APPEND failures "${name}: is marked for static TLS\n")
  endif()
  set(${out} "${failures}" PARENT_SCOPE)
endfunction()

if(DEFINED CXX)
  set(source ${WORK}/runtime_fixture.cpp)
  file(WRITE ${source} "#include <thread>\nvoid fixture() { std::thread([] {}).join(); }\n")
  foreach(variant shared flagged)
    set(library ${WORK}/runtime_fixture_${variant}.so)
    set(flags "")
    if(variant STREQUAL "flagged")
      set(flags ${FLAGS})
    endif()
    execute_process(COMMAND ${CXX} -std=c++17 -fPIC -shared -pthread ${source} ${flags} -o ${library}
                    RESULT_VARIABLE status ERROR_VARIABLE errors)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "${CXX} could not build ${library}: ${errors}")
    endif()
    runtime_failures(${library} found_${variant})
  endforeach()
  if(NOT found_shared)
    message(FATAL_ERROR "the check passes a library that needs the compiler's own libstdc++")
  endif()
  if(found_flagged)
    message(FATAL_ERROR "linked with '${FLAGS}', the fixture still fails: ${found_flagged}")
  endif()
  message(STATUS "the check catches std::thread from the shared C++ runtime; the modules' flags remove it")
  return()
endif()

check_each(runtime_failures "modules need no C++ runtime newer than GLIBCXX_${newest_GLIBCXX} and \
CXXABI_${newest_CXXABI}, and no static TLS" ${MODULES})
