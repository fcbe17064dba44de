// [ok, id] = mintid(): a fresh GUID, or ok false where the system's random
// source fails.
#include "modules/description.h"

namespace test {

namespace {

// Called with any inputs and outputs.
Expected expect(const Call &c) {
  Expected e;
  e.valid = c.nrhs() == 0 && c.nlhs == 2;
  return e;
}

// ok true and a fresh GUID, or ok false and an empty id.
const char *checkOutputs(const CallResult &r) {
  const mxArray *ok = r.outputs[0].get(), *id = r.outputs[1].get();
  if (!ok || !id) return "an output is missing";
  if (!mxIsLogical(ok) || mxGetNumberOfElements(ok) != 1 || mxGetClassID(id) != mxUINT8_CLASS)
    return "the outputs are of the wrong class or size";
  const bool made = mxGetScalar(ok) == 1.0;
  if (mxGetM(id) != (made ? 1u : 0u) || mxGetN(id) != (made ? 16u : 0u))
    return "id has the wrong size for ok";
  if (made && !oracle::isVersion4Guid(static_cast<const uint8_t *>(mxGetData(id))))
    return "id is not a version 4 GUID";
  return nullptr;
}

}  // namespace

Description describe_mintid() {
  Description s;
  s.module = "mintid";
  s.outputs = 2;
  s.expect = expect;
  s.checkOutputs = checkOutputs;
  // The inputs before the outputs.
  for (int nlhs : {0, 1, 2, 3})
    for (const char *args : {"0", "0x0 0", "1"})
      s.errors.push_back({"nargin", nlhs, args, "No input variables are allowed for mintid"});
  for (int nlhs : {0, 1, 3})
    s.errors.push_back({"nargout", nlhs, "", "The number of outputs should be exactly 2"});
  return s;
}

}  // namespace test
