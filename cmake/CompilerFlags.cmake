# Flags shared by every target. Results must be bit-identical to the plain
# scalar definitions: modules.txt lists the code-generation flags that keep
# them so (no fused multiply-add, SSE2 on 32-bit x86) for every build.
include(Manifest)
add_compile_options(-Wall -Wextra ${MANIFEST_FLAGS})

# Sanitizer build: every memory error, leak or undefined operation in the
# modules, the host or the tests fails the run.
option(EXACTMEX_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(EXACTMEX_SANITIZE)
  set(_sanitize -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${_sanitize})
  add_link_options(${_sanitize})
endif()

# Race build: ThreadSanitizer (clang) over the modules, the host and the
# threaded suites, which are all it builds tests of.
option(EXACTMEX_SANITIZE_THREADS "Build with ThreadSanitizer" OFF)
if(EXACTMEX_SANITIZE_THREADS)
  if(EXACTMEX_SANITIZE)
    message(FATAL_ERROR "ThreadSanitizer and AddressSanitizer do not go together")
  endif()
  set(_sanitize -fsanitize=thread -fno-omit-frame-pointer)
  add_compile_options(${_sanitize})
  add_link_options(${_sanitize})
endif()
# Either sanitizer build: instrumented code, which ships nowhere.
if(EXACTMEX_SANITIZE OR EXACTMEX_SANITIZE_THREADS)
  set(EXACTMEX_SANITIZED ON)
else()
  set(EXACTMEX_SANITIZED OFF)
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

# Windows builds carry the GCC, C++ and thread runtimes inside each DLL and
# program, so a user's machine needs nothing beyond Windows itself. Release
# DLLs drop the symbol table, which only the export table's one name needs.
if(MINGW)
  add_link_options(-static $<$<CONFIG:Release>:-s>)
endif()
