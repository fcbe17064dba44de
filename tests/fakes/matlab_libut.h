// A stand-in for MATLAB's libut, the library whose utIsInterruptPending
// tells a MEX module that the user pressed Ctrl-C. A program linked with it
// looks like MATLAB to the modules it loads. Its answer turns true at the
// poll the test arms it for and stays true; it counts the polls, and those
// made on a thread other than the one that armed it.
#ifndef EXACTMEX_TESTS_FAKES_MATLAB_LIBUT_H
#define EXACTMEX_TESTS_FAKES_MATLAB_LIBUT_H

#if defined(_WIN32) && defined(EXACTMEX_BUILDING_LIBUT)
#define LIBUT_API __declspec(dllexport)
#else
#define LIBUT_API
#endif

extern "C" {
LIBUT_API bool utIsInterruptPending(void);
// The answer turns true at poll number `poll` (from 1) after this call;
// 0: never. The counts start again, and the calling thread is the one the
// polls belong on.
LIBUT_API void fakeUtInterruptAt(long poll);
LIBUT_API long fakeUtPolls(void);
LIBUT_API long fakeUtPollsOffThread(void);
}

#endif
