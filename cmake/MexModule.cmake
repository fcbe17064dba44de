# mex_add_module(NAME SOURCES...)
#
# Builds NAME as a MEX module for the selected host: a shared library named
# after the MATLAB function, with the host's MEX extension, exporting
# mexFunction and nothing else.

set(MEX_OUTPUT_DIR ${CMAKE_BINARY_DIR}/mex)

if(MEX_HOST STREQUAL "octave")
  set(MEX_SUFFIX ".mex")
elseif(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(MEX_SUFFIX ".mexw64")
  else()
    set(MEX_SUFFIX ".mexw32")
  endif()
elseif(APPLE)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "arm64|aarch64")
    set(MEX_SUFFIX ".mexmaca64")
  else()
    set(MEX_SUFFIX ".mexmaci64")
  endif()
else()
  set(MEX_SUFFIX ".mexa64")
endif()

if(MEX_HOST STREQUAL "octave")
  find_program(MKOCTFILE mkoctfile REQUIRED)
  execute_process(COMMAND ${MKOCTFILE} -p INCFLAGS OUTPUT_VARIABLE _oct_inc
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  separate_arguments(_oct_inc UNIX_COMMAND "${_oct_inc}")
  set(MEX_HOST_COMPILE_OPTIONS ${_oct_inc})
  # Octave resolves its interface symbols when it loads the module.
  set(MEX_HOST_LIBRARIES "")
else()
  set(MEX_HOST_LIBRARIES mex mx)
endif()

function(mex_add_module name)
  add_library(${name} MODULE ${ARGN})
  set_property(GLOBAL APPEND PROPERTY MEX_MODULES ${name})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${MEX_HOST_COMPILE_OPTIONS})
  target_link_libraries(${name} PRIVATE ${MEX_HOST_LIBRARIES})
  set_target_properties(${name} PROPERTIES
    PREFIX ""
    SUFFIX "${MEX_SUFFIX}"
    OUTPUT_NAME ${name}
    LIBRARY_OUTPUT_DIRECTORY ${MEX_OUTPUT_DIR}
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  if(NOT WIN32 AND NOT APPLE)
    target_link_options(${name} PRIVATE
      -Wl,--version-script=${PROJECT_SOURCE_DIR}/cmake/mexFunction.map)
    # Clang leaves the sanitizer runtimes to the executable that loads the module.
    if(MEX_HOST STREQUAL "standalone"
       AND NOT (EXACTMEX_SANITIZE AND CMAKE_CXX_COMPILER_ID MATCHES "Clang"))
      target_link_options(${name} PRIVATE -Wl,--no-undefined)
    endif()
    set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS
                 ${PROJECT_SOURCE_DIR}/cmake/mexFunction.map)
  endif()
endfunction()
