// Stand-in identifier service for test builds of mintid: it always fills the
// record with the same known GUID and returns the status the build chose, so
// a failing status comes with a record that must still not be reported.
#include "ident/guid_service.h"

#ifndef FAKE_GUID_STATUS
#error "FAKE_GUID_STATUS selects the status this service returns"
#endif

int32_t createGuid(GuidRecord *guid) {
  *guid =
      GuidRecord{0xA1B2C3D4u, 0xE5F6u, 0x1A2Bu, {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80}};
  return FAKE_GUID_STATUS;
}
