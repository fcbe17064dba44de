// The classes of data array a kernel may read, and the element type of each.
// A host reports an argument's class as one of these (kOther for any class
// no kernel reads: logical, char, 64-bit integers, cell, struct ...).
#ifndef EXACTMEX_GATEWAY_DATA_CLASS_H
#define EXACTMEX_GATEWAY_DATA_CLASS_H

#include <cstdint>

namespace gateway {

enum class DataClass : uint8_t {
  kDouble,
  kSingle,
  kInt8,
  kUint8,
  kInt16,
  kUint16,
  kInt32,
  kUint32,
  kOther
};

template <class T>
constexpr DataClass classOf();
template <>
constexpr DataClass classOf<double>() {
  return DataClass::kDouble;
}
template <>
constexpr DataClass classOf<float>() {
  return DataClass::kSingle;
}
template <>
constexpr DataClass classOf<int8_t>() {
  return DataClass::kInt8;
}
template <>
constexpr DataClass classOf<uint8_t>() {
  return DataClass::kUint8;
}
template <>
constexpr DataClass classOf<int16_t>() {
  return DataClass::kInt16;
}
template <>
constexpr DataClass classOf<uint16_t>() {
  return DataClass::kUint16;
}
template <>
constexpr DataClass classOf<int32_t>() {
  return DataClass::kInt32;
}
template <>
constexpr DataClass classOf<uint32_t>() {
  return DataClass::kUint32;
}

// The name MATLAB and Octave give the class, for messages.
constexpr const char *className(DataClass c) {
  constexpr const char *names[] = {"double", "single", "int8",   "uint8", "int16",
                                   "uint16", "int32",  "uint32", "other"};
  return names[static_cast<int>(c)];
}

}  // namespace gateway

#endif
