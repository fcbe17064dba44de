// What every module's gateway source includes: the host-neutral conventions
// (gateway/call.h) and the entry point of the host being built for. A module
// writes its gateway once, as a function taking a gateway::Call, and names it
// with EXACTMEX_ENTRY(name): a MEX build makes it mexFunction, an Octave
// build (EXACTMEX_OCTFILE, set by build_mex) the Octave function `name`.
#ifndef EXACTMEX_GATEWAY_H
#define EXACTMEX_GATEWAY_H

#include "gateway/call.h"
#include "gateway/compiler_check.h"

#if defined(EXACTMEX_OCTFILE)
#include "gateway/octave_entry.h"
#else
#include "gateway/mex_entry.h"
#endif

#endif
