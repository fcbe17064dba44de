# simd_kernels(NAME DISPATCH sources... VARIANTS sources...)
#
# Builds the static library NAME of a module's kernels: the DISPATCH sources
# (the public kernel functions, which pick a variant at run time) built for
# the baseline, and each VARIANTS source built once per instruction-set
# target, with that target's flags and SIMD_TARGET_ID (see simd/vec.h). The
# module and the tests link NAME.
#
# On x86-64 the targets are scalar, sse2, avx2 and avx512; elsewhere only the
# portable scalar code is built. Nothing is built for the machine doing the
# build (no -march=native): the binaries run on any CPU of the architecture.

set(SIMD_TARGETS scalar)
set(SIMD_FLAGS_scalar "")
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$" AND NOT MSVC)
  set(SIMD_TARGETS scalar sse2 avx2 avx512)
  set(SIMD_FLAGS_sse2 "")  # SSE2 is part of the x86-64 baseline
  set(SIMD_FLAGS_avx2 -mavx2)
  set(SIMD_FLAGS_avx512 -mavx512f)
  if(MINGW)
    # The Windows ABI aligns the stack to 16 bytes only: wider vectors spilled
    # there must be moved with unaligned instructions.
    list(APPEND SIMD_FLAGS_avx2 -Wa,-muse-unaligned-vector-move)
    list(APPEND SIMD_FLAGS_avx512 -Wa,-muse-unaligned-vector-move)
  endif()
endif()

function(simd_kernels name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "DISPATCH;VARIANTS")
  add_library(${name} STATIC ${arg_DISPATCH})
  target_link_libraries(${name} PUBLIC simd)
  set(id 0)
  foreach(target IN LISTS SIMD_TARGETS)
    add_library(${name}_${target} OBJECT ${arg_VARIANTS})
    target_link_libraries(${name}_${target} PRIVATE simd)
    target_compile_definitions(${name}_${target} PRIVATE SIMD_TARGET_ID=${id})
    target_compile_options(${name}_${target} PRIVATE ${SIMD_FLAGS_${target}})
    set_target_properties(${name}_${target} PROPERTIES
      POSITION_INDEPENDENT_CODE ON CXX_VISIBILITY_PRESET hidden)
    target_sources(${name} PRIVATE $<TARGET_OBJECTS:${name}_${target}>)
    math(EXPR id "${id} + 1")
  endforeach()
  set_target_properties(${name} PROPERTIES
    POSITION_INDEPENDENT_CODE ON CXX_VISIBILITY_PRESET hidden)
endfunction()
