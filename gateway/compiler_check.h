// Stops the build on a compiler that cannot build the modules as they must
// be built: C++17 needs GCC 7, Clang 5 (Apple's Clang 10, from Xcode 10) or
// Microsoft Visual C++ 2017 15.7 or later. Fast floating point reorders and
// contracts arithmetic and drops NaN checks, which breaks the modules' exact
// results and their NaN and tie rules: it is refused, and so are Intel's
// compilers, which use it unless told otherwise.
#ifndef EXACTMEX_COMPILER_CHECK_H
#define EXACTMEX_COMPILER_CHECK_H

#if defined(__INTEL_COMPILER) || defined(__INTEL_LLVM_COMPILER) || defined(__ICL)
#error \
    "exactmex cannot be built with Intel's compilers, which default to fast floating point: use GCC, Clang or Microsoft Visual C++"
#elif defined(__clang__) && defined(__apple_build_version__)
#if __clang_major__ < 10
#error "exactmex needs Apple's Clang 10 (Xcode 10) or later, for C++17"
#endif
#elif defined(__clang__)
#if __clang_major__ < 5
#error "exactmex needs Clang 5 or later, for C++17"
#endif
#elif defined(__GNUC__)
#if __GNUC__ < 7
#error "exactmex needs GCC 7 or later, for C++17"
#endif
#elif defined(_MSC_VER)
#if _MSC_VER < 1914
#error "exactmex needs Microsoft Visual C++ 2017 15.7 or later, for C++17"
#endif
#endif

#if defined(__FAST_MATH__)
#error "exactmex cannot be built with fast floating point (-ffast-math), which breaks exact results"
#endif

#endif
