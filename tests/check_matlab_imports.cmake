# cmake -DOBJDUMP=... -DFORMAT=ELF|PE -DMODULES="a;b" [-DTEST_BUILDS="c;d"] -P check_matlab_imports.cmake
#   fails when a module (or a test build of one, where it was built) imports from the matrix interface (libmx, libmex) a
#   name that MATLAB's libraries do not export for the API every module built
#   here targets: the separate-complex API with 64-bit sizes, where the
#   functions below that take or return sizes are renamed with _730 and the
#   others keep their plain names; and mex.h's functions that MATLAB's mex.h
#   renames with WithObject (unless MEX_DOUBLE_HANDLE is defined, which no
#   build here does). A plain renamed name would load in MATLAB, whose libmx
#   still exports the old entry points, and read sizes as 32-bit integers;
#   our libraries refuse it (docs/matlab-binary-interface.md).
# cmake -DOBJDUMP=... -DFORMAT=... -DFIXTURE=module -DWORK=dir -P check_matlab_imports.cmake
#   checks the check: a copy of the module, doctored to import the plain name
#   of one renamed function, must fail it, naming that function.
#
# The names are MATLAB's, from its matrix.h and mex.h, for the functions the
# gateways call (docs/matlab-binary-interface.md has the other APIs' names).

cmake_minimum_required(VERSION 3.25)
set(renamed mxGetNumberOfDimensions mxGetDimensions mxGetIr mxGetJc mxCreateNumericArray
            mxCreateNumericMatrix mxCreateDoubleMatrix)
set(plain mxCreateUninitNumericArray mxGetM mxGetN mxGetNumberOfElements mxGetPr mxGetData mxGetClassID
          mxGetScalar mxIsDouble mxIsNumeric mxIsLogical mxIsChar mxIsComplex mxIsSparse
          mxCreateLogicalScalar mxDestroyArray mxMalloc mexErrMsgIdAndTxt mexAtExit)
set(with_object mexCallMATLABWithTrap)
set(allowed ${plain})
foreach(name IN LISTS renamed)
  list(APPEND allowed ${name}_730)
endforeach()
foreach(name IN LISTS with_object)
  list(APPEND allowed ${name}WithObject)
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/disassemble.cmake)

# The names file imports from the matrix interface: on Windows those listed
# under libmx.dll and libmex.dll in its import table; elsewhere its
# undefined symbols of MATLAB's prefixes, mx and mex (ELF does not say which
# library is to provide a symbol).
function(matrix_imports file out)
  set(names "")
  if(FORMAT STREQUAL "PE")
    # Each DLL's entries: "\t<vma>\t <hint>  <name>" lines under its name.
    objdump(${file} table -p)
    string(REGEX MATCHALL "\tDLL Name: [Ll][Ii][Bb][Mm][Ee]?[Xx]\\.[Dd][Ll][Ll]\n\tvma:[^\n]*\n(\t[0-9a-f]+\t +[0-9]+  [^\n]+\n)*"
           blocks "${table}")
    string(REGEX MATCHALL "  [^ \n]+\n" entries "${blocks}")
    foreach(entry IN LISTS entries)
      string(STRIP "${entry}" name)
      list(APPEND names ${name})
    endforeach()
  else()
    objdump(${file} symbols -T)
    string(REGEX MATCHALL "\\*UND\\*[^\n]* (me?x[A-Z][A-Za-z0-9_]*)\n" undefined "${symbols}")
    foreach(entry IN LISTS undefined)
      string(REGEX MATCH "[^ ]+\n$" name "${entry}")
      string(STRIP "${name}" name)
      list(APPEND names ${name})
    endforeach()
  endif()
  set(${out} ${names} PARENT_SCOPE)
endfunction()

# What is wrong with the imports of file, one line each; "" when nothing.
function(import_failures file out)
  get_filename_component(name ${file} NAME)
  matrix_imports(${file} imports)
  set(failures "")
  if(NOT imports)
    string(APPEND failures "${name}: imports nothing from the matrix interface (unreadable?)\n")
  endif()
  foreach(import IN LISTS imports)
    if(import IN_LIST renamed)
      string(APPEND failures "${name}: imports ${import}, which MATLAB exports as ${import}_730\n")
    elseif(import IN_LIST with_object)
      string(APPEND failures "${name}: imports ${import}, which MATLAB's mex.h names ${import}WithObject\n")
    elseif(NOT import IN_LIST allowed)
      string(APPEND failures "${name}: imports ${import}, not among MATLAB's names\n")
    endif()
  endforeach()
  set(${out} "${failures}" PARENT_SCOPE)
endfunction()

if(DEFINED FIXTURE)
  import_failures(${FIXTURE} failures)
  if(failures)
    message(FATAL_ERROR "the fixture's module fails as built: ${failures}")
  endif()
  # The first renamed function the module imports loses its suffix: the
  # bytes "_730" of its name become the string's end.
  file(READ ${FIXTURE} bytes HEX)
  set(function "")
  foreach(name IN LISTS renamed)
    string(HEX "${name}_730" hex)
    string(FIND "${bytes}" "${hex}00" at)
    math(EXPR odd "${at} % 2")
    if(at GREATER_EQUAL 0 AND odd EQUAL 0)
      set(function ${name})
      break()
    endif()
  endforeach()
  if(NOT function)
    message(FATAL_ERROR "${FIXTURE} names none of the renamed functions")
  endif()
  get_filename_component(name ${FIXTURE} NAME)
  set(doctored ${WORK}/doctored_${name})
  file(COPY_FILE ${FIXTURE} ${doctored})
  string(LENGTH "${function}" length)
  math(EXPR offset "${at} / 2 + ${length}")
  execute_process(COMMAND dd if=/dev/zero of=${doctored} bs=1 seek=${offset} count=4 conv=notrunc
                  RESULT_VARIABLE status ERROR_QUIET)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "could not doctor ${doctored}")
  endif()
  import_failures(${doctored} failures)
  if(NOT failures MATCHES "imports ${function}, which MATLAB exports as ${function}_730")
    message(FATAL_ERROR "the check passes ${doctored}, which imports ${function}: '${failures}'")
  endif()
  message(STATUS "the check catches a module doctored to import ${function}")
  return()
endif()

foreach(module IN LISTS TEST_BUILDS)
  if(EXISTS ${module})
    list(APPEND MODULES ${module})
  endif()
endforeach()
check_each(import_failures "modules import from libmx and libmex only names MATLAB exports"
           ${MODULES})
