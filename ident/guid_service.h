// The identifier service mintid asks for one new GUID per call. It keeps the
// contract of Windows' CoCreateGuid: it fills the record and returns 0, or
// returns any other status, in which case the record must not be read.
#ifndef EXACTMEX_GUID_SERVICE_H
#define EXACTMEX_GUID_SERVICE_H

#include <cstdint>

// Windows' GUID layout: three integers in the machine's byte order, then eight
// bytes, 16 bytes with no padding.
struct GuidRecord {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
};
static_assert(sizeof(GuidRecord) == 16, "a GUID record is 16 bytes");

int32_t createGuid(GuidRecord *guid);

#endif
