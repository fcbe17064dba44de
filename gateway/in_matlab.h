// What a MEX module finds of MATLAB in the process that loaded it, at run
// time: the module has no link-time dependency on anything beyond the MEX
// interface, so that the same file loads in MATLAB, in Octave's MEX
// interface and in our standalone host.
#ifndef EXACTMEX_GATEWAY_IN_MATLAB_H
#define EXACTMEX_GATEWAY_IN_MATLAB_H

namespace gateway {

// MATLAB's answer to "has the user pressed Ctrl-C?", exported by its libut
// as extern "C" bool utIsInterruptPending(void). It is safe to ask on
// MATLAB's thread, the one that called the module, and on no other.
using InterruptQuestion = bool (*)(void);

// MATLAB's interrupt question when this process has MATLAB's libut loaded,
// null elsewhere (Octave, our standalone host). Its presence is also how a
// module knows that it runs in MATLAB.
InterruptQuestion matlabInterruptQuestion();

}  // namespace gateway

#endif
