// What a MEX module finds of MATLAB in the process that loaded it, at run
// time: the module has no link-time dependency on anything beyond the MEX
// interface, so that the same file loads in MATLAB, in Octave's MEX
// interface and in our standalone host.
#ifndef EXACTMEX_GATEWAY_IN_MATLAB_H
#define EXACTMEX_GATEWAY_IN_MATLAB_H

namespace gateway {

// MATLAB's Ctrl-C, as its libut exports it (extern "C"). pending is
// utIsInterruptPending(): whether the user has pressed Ctrl-C while
// interrupts were enabled; it is safe to ask on MATLAB's thread, the one
// that called the module, and on no other. setEnabled is
// utSetInterruptEnabled(on), which enables or disables them and returns
// whether they were enabled; null where libut lacks it.
struct MatlabInterrupts {
  bool (*pending)(void);
  bool (*setEnabled)(bool on);
};

// MATLAB's interrupt functions when this process has MATLAB's libut loaded,
// nulls elsewhere (Octave, our standalone host). Their presence is also how
// a module knows that it runs in MATLAB.
MatlabInterrupts matlabInterrupts();

}  // namespace gateway

#endif
