# Reads modules.txt, the one list of MEX modules and compile flags that the
# CMake build, build_mex.m and the Octave package share. Sets:
#   MANIFEST_FLAGS          flags for every target, for this compiler
#   MANIFEST_ACCEPTS_<family>  whether the compiler took the flags of a family
#                              that has fallback flags
#   MANIFEST_MODULE_FLAGS   flags for module sources, for this compiler,
#                           optimisation flags included
#   MANIFEST_MEX_LINK_FLAGS link flags of MEX modules for MATLAB, on this platform
#   MANIFEST_MODULES        module names, in file order
#   MANIFEST_SOURCES_<name> sources of module <name>, relative to the source root
#   MANIFEST_SOURCES        the sources of every module, each once
#   MANIFEST_LIBS_<name>    libraries module <name> links on this platform

include_guard(GLOBAL)

set(MANIFEST_FILE ${CMAKE_CURRENT_LIST_DIR}/../modules.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${MANIFEST_FILE})

if(MSVC)
  set(_families msvc)
else()
  set(_families gnu)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86)$")
    list(APPEND _families gnu-x86)
  endif()
  if(MINGW)
    list(APPEND _families mingw)
  endif()
endif()

set(MANIFEST_FLAGS "")
set(MANIFEST_MODULE_FLAGS "")
set(MANIFEST_MEX_LINK_FLAGS "")
set(MANIFEST_MODULES "")
set(MANIFEST_SOURCES "")
set(_platform linux)
if(WIN32)
  set(_platform windows)
elseif(APPLE)
  set(_platform macos)
endif()
file(STRINGS ${MANIFEST_FILE} _lines)
foreach(_line IN LISTS _lines)
  string(REGEX REPLACE "#.*" "" _line "${_line}")
  separate_arguments(_words UNIX_COMMAND "${_line}")
  if(NOT _words)
    continue()
  endif()
  list(POP_FRONT _words _key _first)
  if(_key STREQUAL "module")
    list(APPEND MANIFEST_MODULES ${_first})
    set(MANIFEST_SOURCES_${_first} ${_words})
    list(APPEND MANIFEST_SOURCES ${_words})
  elseif(_key STREQUAL "libs")
    list(POP_FRONT _words _libs_platform)
    if(_libs_platform STREQUAL _platform)
      list(APPEND MANIFEST_LIBS_${_first} ${_words})
    endif()
  elseif(_key STREQUAL "flags")
    list(APPEND _flags_${_first} ${_words})
  elseif(_key STREQUAL "flags-fallback")
    list(APPEND _fallback_${_first} ${_words})
  elseif(_key STREQUAL "module-flags" OR _key STREQUAL "module-optimize")
    if(_first IN_LIST _families)
      list(APPEND MANIFEST_MODULE_FLAGS ${_words})
    endif()
  elseif(_key STREQUAL "mex-link")
    if(_first STREQUAL _platform)
      list(APPEND MANIFEST_MEX_LINK_FLAGS ${_words})
    endif()
  else()
    message(FATAL_ERROR "modules.txt: unknown line '${_line}'")
  endif()
endforeach()
list(REMOVE_DUPLICATES MANIFEST_SOURCES)

# A family's flags, or its fallback flags where the compiler rejects those.
include(CheckCXXSourceCompiles)
foreach(_family IN LISTS _families)
  set(_flags ${_flags_${_family}})
  if(DEFINED _fallback_${_family})
    list(JOIN _flags " " CMAKE_REQUIRED_FLAGS)
    check_cxx_source_compiles("int main() { return 0; }" MANIFEST_ACCEPTS_${_family})
    unset(CMAKE_REQUIRED_FLAGS)
    if(NOT MANIFEST_ACCEPTS_${_family})
      message(STATUS "modules.txt: the compiler rejects ${_flags}; using ${_fallback_${_family}}")
      set(_flags ${_fallback_${_family}})
    endif()
  endif()
  list(APPEND MANIFEST_FLAGS ${_flags})
endforeach()
