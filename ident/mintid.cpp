// [ok, id] = mintid(): a new identifier from the identifier service, as the
// 1-by-16 uint8 row of the GUID record's bytes in memory order, and ok true.
// When the service fails, ok is false and id an empty 0-by-0 uint8 array.
#include <cstring>

#include "gateway/gateway.h"
#include "ident/guid_service.h"

namespace {

void mintid(const gateway::Call &c) {
  using gateway::fail;
  if (c.nrhs != 0) fail(c, "nargin", "No input variables are allowed for mintid");
  if (c.nlhs != 2) fail(c, "nargout", "The number of outputs should be exactly 2");

  GuidRecord guid;
  const bool made = createGuid(&guid) == 0;  // any other status, positive too, is a failure

  c.host->logical(c.ctx, 0, made);
  if (made)
    std::memcpy(c.host->bytes(c.ctx, 1, 1, sizeof guid), &guid, sizeof guid);
  else
    c.host->bytes(c.ctx, 1, 0, 0);
}

}  // namespace

EXACTMEX_ENTRY(mintid)
