# cmake -DCLANG_CL=... -DOBJDUMP=... -DROOT=... -DSOURCES="a.cpp;..." -DINCLUDES="dir;..."
#       -DEXTENDED="avx2;..." -DWORK=dir -P check_msvc_branch.cmake
#
# Compiles the kernel sources as build_mex's Microsoft Visual C++ branch
# does, with the msvc flags of modules.txt, and holds the objects to the
# rules of check_binaries.cmake: no fused multiply-add, wide registers only
# in the wide variants. Microsoft's compiler and headers are not to be had
# on Linux: clang-cl in MSVC mode stands in for the compiler, libc++ and
# mingw-w64's C headers for the headers, and the __SSE3__ ... __AVX512BW__
# definitions make clang's intrinsic headers declare every intrinsic, as
# MSVC's always do (they switch on no instruction: the variants do that
# themselves). The gateways, which need MSVC's own C++ runtime headers, are
# not compiled.
cmake_minimum_required(VERSION 3.25)

# The flags build_mex passes to MSVC: "flags msvc", "module-flags msvc" and
# "module-optimize msvc".
file(STRINGS ${ROOT}/modules.txt lines REGEX "^(flags|module-flags|module-optimize) +msvc ")
set(flags "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^[a-z-]+ +msvc +" "" line "${line}")
  separate_arguments(words UNIX_COMMAND "${line}")
  list(APPEND flags ${words})
endforeach()
list(APPEND flags /DNDEBUG)
if(NOT flags MATCHES "/std:c\\+\\+17")
  message(FATAL_ERROR "modules.txt gives MSVC no /std:c++17: ${flags}")
endif()

set(standin --target=x86_64-pc-windows-msvc /clang:-fgnuc-version=12 -D__SSE3__ -D__SSSE3__
            -D__SSE4_1__ -D__SSE4_2__ -D__AVX__ -D__AVX2__ -D__FMA__ -D__AVX512F__
            -D__AVX512BW__)
foreach(dir IN LISTS INCLUDES)
  list(APPEND standin -imsvc ${dir})
endforeach()

set(objects "")
foreach(source IN LISTS SOURCES)
  string(MAKE_C_IDENTIFIER "${source}" name)
  set(object ${WORK}/${name}.obj)
  # "--": a path that starts with a slash could read as an option.
  execute_process(COMMAND ${CLANG_CL} ${standin} ${flags} /c -I${ROOT} -I${ROOT}/host/include
                          /Fo${object} -- ${ROOT}/${source}
                  RESULT_VARIABLE status OUTPUT_VARIABLE errors ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "clang-cl with '${flags}' cannot compile ${source}: ${errors}")
  endif()
  list(APPEND objects ${object})
endforeach()

execute_process(COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${OBJDUMP} -DPROCESSOR=x86_64 -DFORMAT=PE
                        "-DOBJECTS=${objects}" "-DEXTENDED=${EXTENDED}"
                        -P ${CMAKE_CURRENT_LIST_DIR}/check_binaries.cmake
                RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE report)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the MSVC branch's objects fail the binary check: ${report}")
endif()
list(LENGTH objects count)
message(STATUS "${count} kernel sources compile with the MSVC branch's flags (${flags}), "
               "every variant, with no fused multiply-add")
