# cmake -DOBJDUMP=... -DMODULES="a;b" -P check_instructions.cmake
#
# Reads the machine code of built modules and fails when
#  - any fused multiply-add appears: results must round after every
#    operation, so the compiler may never contract a*b+c, whatever the flags;
#  - a function outside the AVX2 and AVX-512 variants (namespaces simd_avx2,
#    simd_avx512) uses 256- or 512-bit registers: such code would stop with
#    an illegal instruction on an x86-64 CPU without them, for instance when
#    the linker keeps one copy of an inline function that a variant built
#    with wider instructions.
include(${CMAKE_CURRENT_LIST_DIR}/disassemble.cmake)
set(failures "")
foreach(module IN LISTS MODULES)
  disassemble(${module} code)
  string(REGEX MATCHALL "[^\n]*vfn?m(add|sub)[0-9a-z]*[^\n]*" fused "${code}")
  if(fused)
    list(GET fused 0 first)
    string(APPEND failures "${module}: fused multiply-add: ${first}\n")
  endif()
  # One entry per function: its name, then its instructions.
  string(REPLACE ";" "," code "${code}")
  string(REGEX REPLACE "\n[0-9a-f]+ <" ";<" functions "${code}")
  foreach(function IN LISTS functions)
    if(function MATCHES "%[yz]mm" AND NOT function MATCHES "^<[^>]*simd_avx(2|512)")
      string(REGEX MATCH "^<[^>]*>" name "${function}")
      string(APPEND failures "${module}: ${name} uses wide vector registers\n")
    endif()
  endforeach()
endforeach()
if(failures)
  message(FATAL_ERROR "${failures}")
endif()
list(LENGTH MODULES count)
message(STATUS "${count} modules: no fused multiply-add, wide registers only in wide variants")
