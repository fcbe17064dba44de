// Fuzz target of mintid: [ok, id] = mintid(), called with any inputs and
// any number of outputs.
#include "fuzz/harness.h"
#include "support/oracles.h"

namespace {

fuzz::Expected expect(const fuzz::Call &c) {
  fuzz::Expected e;
  e.valid = c.nrhs() == 0 && c.nlhs == 2;
  return e;
}

// ok true and a fresh GUID, or ok false and an empty id when the system's
// random source fails.
void checkOutputs(const test::CallResult &r) {
  const mxArray *ok = r.outputs[0].get(), *id = r.outputs[1].get();
  if (!ok || !id) fuzz::fail("an output is missing");
  if (!mxIsLogical(ok) || mxGetNumberOfElements(ok) != 1 || mxGetClassID(id) != mxUINT8_CLASS)
    fuzz::fail("the outputs are of the wrong class or size");
  const bool made = mxGetScalar(ok) == 1.0;
  if (mxGetM(id) != (made ? 1u : 0u) || mxGetN(id) != (made ? 16u : 0u))
    fuzz::fail("id has the wrong size for ok");
  if (made && !oracle::isVersion4Guid(static_cast<const uint8_t *>(mxGetData(id))))
    fuzz::fail("id is not a version 4 GUID");
}

}  // namespace

const fuzz::Target &fuzz::target() {
  static const Target t{
      "mintid",
      {"No input variables are allowed for mintid", "The number of outputs should be exactly 2"},
      expect,
      0,
      0,
      checkOutputs};
  return t;
}
