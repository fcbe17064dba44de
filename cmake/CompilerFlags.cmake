# Flags shared by every target. Results must be bit-identical to the plain
# scalar definitions, so the compiler may never fuse a multiply and an add,
# and 32-bit x86 builds compute in SSE2 rather than the x87 unit.
add_compile_options(-Wall -Wextra -ffp-contract=off)

if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86)$")
  add_compile_options(-msse2 -mfpmath=sse)
endif()

# Sanitizer build: every memory error, leak or undefined operation in the
# modules, the host or the tests fails the run.
option(EXACTMEX_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(EXACTMEX_SANITIZE)
  set(_sanitize -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${_sanitize})
  add_link_options(${_sanitize})
endif()

# Fuzzing build (clang, with the sanitizers above): every target also gets
# the coverage instrumentation that guides libFuzzer; tests/fuzz links it.
option(EXACTMEX_FUZZ "Build the libFuzzer targets, instrumenting every target" OFF)
if(EXACTMEX_FUZZ)
  if(NOT EXACTMEX_SANITIZE OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "EXACTMEX_FUZZ needs clang and EXACTMEX_SANITIZE=ON")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
  add_link_options(-fsanitize=fuzzer-no-link)
endif()
