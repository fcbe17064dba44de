# cmake -DOBJDUMP=... -DMODULES="a;b" -P check_cxx_runtime.cmake
#   fails when a Linux module needs anything of a C++ runtime: MATLAB loads
#   its own libstdc++ before any MEX file, of a version this build cannot
#   know (R2015a-R2016a ship GLIBCXX_3.4.17, R2016b-R2017b 3.4.20), and a
#   module that needs a later symbol version fails to load ("GLIBCXX_3.4.30
#   not found"); a module with a private C++ runtime needs none. It must
#   unwind with the process's shared unwinder, libgcc_s, which MATLAB ships
#   and throws its errors with: fails on a module that defines the
#   unwinder's functions itself, and on one that needs a libgcc_s symbol
#   version after GCC 4's. Lists the versions the modules need. Also fails
#   on a module marked for static TLS, which a program that loads many
#   libraries at run time, as MATLAB does, may have no room left for.
# cmake -DOBJDUMP=... -DCXX=... -DFLAGS="..." -DWORK=dir -P check_cxx_runtime.cmake
#   checks the check: a library using std::thread must fail it when linked
#   with the C++ runtime as a shared library, and when linked with FLAGS, the
#   modules' own link flags, and its own copy of the unwinder
#   (-static-libgcc); it must pass with FLAGS alone.

include(${CMAKE_CURRENT_LIST_DIR}/disassemble.cmake)

# The versions of libgcc_s's symbols file needs, each once.
function(unwinder_versions file out)
  objdump(${file} symbols -T)
  string(REGEX MATCHALL "\\*UND\\*[^\n]*\\(GCC_[0-9.]+\\)" imports "${symbols}")
  set(versions "")
  foreach(entry IN LISTS imports)
    string(REGEX MATCH "GCC_[0-9.]+" version "${entry}")
    list(APPEND versions ${version})
  endforeach()
  list(REMOVE_DUPLICATES versions)
  set(${out} ${versions} PARENT_SCOPE)
endfunction()

# What is wrong with file, one line each; "" when nothing.
function(runtime_failures file out)
  get_filename_component(name ${file} NAME)
  objdump(${file} symbols -T)
  string(REGEX MATCHALL "\\((GLIBCXX|CXXABI)_[0-9.]+\\) [^\n]+" versioned "${symbols}")
  set(failures "")
  foreach(entry IN LISTS versioned)
    string(REGEX MATCH "^\\(([A-Z]+_[0-9.]+)\\) (.+)$" _ "${entry}")
    string(APPEND failures "${name}: needs the shared C++ runtime, ${CMAKE_MATCH_1} (${CMAKE_MATCH_2})\n")
  endforeach()
  unwinder_versions(${file} versions)
  foreach(version IN LISTS versions)
    string(REGEX MATCH "[0-9]+" major "${version}")
    if(major GREATER 4)
      string(APPEND failures "${name}: needs ${version} of libgcc_s, after GCC 4's\n")
    endif()
  endforeach()
  objdump(${file} table -t)
  if(table MATCHES "\n[0-9a-f]+ [^\n]* \\.text[^\n]* _Unwind_RaiseException\n")
    string(APPEND failures "${name}: carries its own copy of the unwinder\n")
  endif()
  objdump(${file} headers -p)
  if(headers MATCHES "\n  FLAGS +[^\n]*STATIC_TLS")
    string(APPEND failures "${name}: is marked for static TLS\n")
  endif()
  set(${out} "${failures}" PARENT_SCOPE)
endfunction()

if(DEFINED CXX)
  set(source ${WORK}/runtime_fixture.cpp)
  file(WRITE ${source} "#include <thread>\nvoid fixture() { std::thread([] {}).join(); }\n")
  set(expected_shared "needs the shared C++ runtime, GLIBCXX_")
  set(expected_private "carries its own copy of the unwinder")
  foreach(variant shared private flagged)
    set(library ${WORK}/runtime_fixture_${variant}.so)
    set(flags "")
    if(variant STREQUAL "private")
      set(flags ${FLAGS} -static-libgcc)
    elseif(variant STREQUAL "flagged")
      set(flags ${FLAGS})
    endif()
    execute_process(COMMAND ${CXX} -std=c++17 -fPIC -shared -pthread ${source} ${flags} -o ${library}
                    RESULT_VARIABLE status ERROR_VARIABLE errors)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "${CXX} could not build ${library}: ${errors}")
    endif()
    runtime_failures(${library} found)
    if(DEFINED expected_${variant})
      string(FIND "${found}" "${expected_${variant}}" at)
      if(at LESS 0)
        message(FATAL_ERROR "the check does not find that a library linked with '${flags}' ${expected_${variant}}: '${found}'")
      endif()
    elseif(found)
      message(FATAL_ERROR "linked with '${flags}', the fixture still fails: ${found}")
    endif()
  endforeach()
  message(STATUS "the check catches std::thread from the shared C++ runtime and a private unwinder; the modules' flags remove both")
  return()
endif()

check_each(runtime_failures "modules need no C++ runtime, libgcc_s of GCC 4 at most, and no static TLS"
           ${MODULES})
set(needed "")
foreach(module IN LISTS MODULES)
  unwinder_versions(${module} versions)
  list(APPEND needed ${versions})
endforeach()
list(REMOVE_DUPLICATES needed)
list(SORT needed COMPARE NATURAL)
message(STATUS "libgcc_s versions the modules need: ${needed}")
