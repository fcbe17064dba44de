// [ok, id] = mintid(): a new identifier from the identifier service, as the
// 1-by-16 uint8 row of the GUID record's bytes in memory order, and ok true.
// When the service fails, ok is false and id an empty 0-by-0 uint8 array.
#include <cstring>

#include "gateway/gateway.h"
#include "ident/guid_service.h"

MEX_ENTRY void mexFunction(int nlhs, mxArray *plhs[], int nrhs, const mxArray *[]) {
  if (nrhs != 0) mexErrMsgTxt("No input variables are allowed for mintid");
  if (nlhs != 2) mexErrMsgTxt("The number of outputs should be exactly 2");

  GuidRecord guid;
  const bool made = createGuid(&guid) == 0;  // any other status, positive too, is a failure

  mxArray *id;
  if (made) {
    id = mxCreateNumericMatrix(1, sizeof guid, mxUINT8_CLASS, mxREAL);
    std::memcpy(mxGetData(id), &guid, sizeof guid);
  } else {
    id = mxCreateNumericMatrix(0, 0, mxUINT8_CLASS, mxREAL);
  }
  plhs[0] = mxCreateLogicalScalar(made);
  plhs[1] = id;
}
