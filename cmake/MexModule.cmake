# mex_add_module(NAME SOURCES...)
#
# Builds NAME as a MEX module for the standalone host: a shared library named
# after the MATLAB function, with the platform's MEX extension, exporting
# mexFunction and nothing else. mex_add_listed_modules() adds every module of
# modules.txt. (Octave builds them with build_mex.m, from the same list.)
#
# mex_source_object(SOURCE VAR) sets VAR to an object library holding SOURCE
# (relative to the source root) compiled as module code: a source that several
# modules, the tests and the benchmarks share, the kernels and the target
# choice above all, compiles once per build, and the tests run the very
# object code the modules ship.

include(Manifest)

set(MEX_OUTPUT_DIR ${CMAKE_BINARY_DIR}/mex)

# The link flags of MEX modules for MATLAB (modules.txt: on Linux, the C++
# runtime linked in). Sanitized builds, which ship nowhere, share the loading
# program's runtime.
# Libraries (-lNAME) go after the module's objects, where they resolve them.
set(MEX_RUNTIME_LINK_FLAGS "")
set(MEX_RUNTIME_LIBRARIES "")
if(NOT EXACTMEX_SANITIZED)
  foreach(flag IN LISTS MANIFEST_MEX_LINK_FLAGS)
    if(flag MATCHES "^-l")
      list(APPEND MEX_RUNTIME_LIBRARIES ${flag})
    else()
      list(APPEND MEX_RUNTIME_LINK_FLAGS ${flag})
    endif()
  endforeach()
endif()

if(WIN32)
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
elseif(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(MEX_SUFFIX ".mexglx")
else()
  set(MEX_SUFFIX ".mexa64")
endif()

function(mex_source_object source var)
  string(MAKE_C_IDENTIFIER "obj_${source}" target)
  if(NOT TARGET ${target})
    add_library(${target} OBJECT ${PROJECT_SOURCE_DIR}/${source})
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
    target_compile_options(${target} PRIVATE ${MANIFEST_MODULE_FLAGS})
    # The matrix interface's headers.
    target_link_libraries(${target} PRIVATE mex mx)
    set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  endif()
  set(${var} ${target} PARENT_SCOPE)
endfunction()

# mex_kernel_objects(VAR): the objects of every module's kernels and of the
# target choice, for programs that call the kernels directly.
function(mex_kernel_objects var)
  set(sources ${MANIFEST_SOURCES})
  list(FILTER sources INCLUDE REGEX "_kernels\\.cpp$|^simd/")
  set(objects "")
  foreach(source IN LISTS sources)
    mex_source_object(${source} object)
    list(APPEND objects $<TARGET_OBJECTS:${object}>)
  endforeach()
  set(${var} ${objects} PARENT_SCOPE)
endfunction()

function(mex_add_module name)
  add_library(${name} MODULE ${ARGN})
  # MEX_MODULES: the deliverables; MEX_BUILT_MODULES: test builds as well.
  set_property(GLOBAL APPEND PROPERTY MEX_MODULES ${name})
  set_property(GLOBAL APPEND PROPERTY MEX_BUILT_MODULES ${name})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${MANIFEST_MODULE_FLAGS})
  target_link_libraries(${name} PRIVATE mex mx ${MEX_RUNTIME_LIBRARIES})
  target_link_options(${name} PRIVATE ${MEX_RUNTIME_LINK_FLAGS})
  set_target_properties(${name} PROPERTIES
    PREFIX ""
    SUFFIX "${MEX_SUFFIX}"
    OUTPUT_NAME ${name}
    LIBRARY_OUTPUT_DIRECTORY ${MEX_OUTPUT_DIR})
  if(WIN32)
    # Names mexFunction, undecorated in both word sizes, as the export
    # table's entry; the version script's counterpart.
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/mexFunction.def)
  elseif(NOT APPLE)
    target_link_options(${name} PRIVATE
      -Wl,--version-script=${PROJECT_SOURCE_DIR}/cmake/mexFunction.map)
    # Clang leaves the sanitizer runtimes to the executable that loads the module.
    if(NOT (EXACTMEX_SANITIZED AND CMAKE_CXX_COMPILER_ID MATCHES "Clang"))
      target_link_options(${name} PRIVATE -Wl,--no-undefined)
    endif()
    # Where a module looks MATLAB up in its process (dlsym: libdl before glibc 2.34).
    target_link_libraries(${name} PRIVATE ${CMAKE_DL_LIBS})
    set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS
                 ${PROJECT_SOURCE_DIR}/cmake/mexFunction.map)
  endif()
endfunction()

function(mex_add_listed_modules)
  # mex_modules: every module of modules.txt and nothing else.
  add_custom_target(mex_modules)
  add_dependencies(mex_modules ${MANIFEST_MODULES})
  foreach(name IN LISTS MANIFEST_MODULES)
    set(objects "")
    foreach(source IN LISTS MANIFEST_SOURCES_${name})
      mex_source_object(${source} object)
      list(APPEND objects $<TARGET_OBJECTS:${object}>)
    endforeach()
    mex_add_module(${name} ${objects})
    target_link_libraries(${name} PRIVATE ${MANIFEST_LIBS_${name}})
  endforeach()
endfunction()
