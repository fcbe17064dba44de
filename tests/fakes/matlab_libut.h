// A stand-in for MATLAB's libut, the library whose utIsInterruptPending
// tells a MEX module that the user pressed Ctrl-C. A program that loads it
// looks like MATLAB to the modules it loads. It keeps MATLAB's two flags:
// whether interrupts are enabled (utSetInterruptEnabled), and whether one
// is pending. The test arms it for a Ctrl-C pressed just before a given
// poll: pending from then on if interrupts are enabled at that moment, lost
// if not, as a press while MATLAB ignores them. It counts the polls, those
// made while interrupts were disabled, and those made on a thread other
// than the one that armed it.
#ifndef EXACTMEX_TESTS_FAKES_MATLAB_LIBUT_H
#define EXACTMEX_TESTS_FAKES_MATLAB_LIBUT_H

#if defined(_WIN32) && defined(EXACTMEX_BUILDING_LIBUT)
#define LIBUT_API __declspec(dllexport)
#else
#define LIBUT_API
#endif

extern "C" {
LIBUT_API bool utIsInterruptPending(void);
// Enables or disables interrupts; returns whether they were enabled.
LIBUT_API bool utSetInterruptEnabled(bool on);

// Ctrl-C comes before poll number `poll` (from 1) after this call; 0:
// never. Interrupts start enabled or not, as MATLAB has them when a call
// begins; nothing is pending, the counts start again, and the calling
// thread is the one the polls belong on.
LIBUT_API void fakeUtInterruptAt(long poll, bool enabled);
LIBUT_API long fakeUtPolls(void);
LIBUT_API long fakeUtPollsOffThread(void);
LIBUT_API long fakeUtPollsWhileDisabled(void);
LIBUT_API bool fakeUtEnabled(void);
LIBUT_API bool fakeUtPending(void);
}

#endif
