// D = sampledist(X1, X2, code): the table of the sample family
// (pairwise/sample_family.h).
#include "gateway/gateway.h"
#include "pairwise/family_gateways.h"
#include "pairwise/sample_family.h"

constexpr auto sampledist = tableGateway<SampleFamily>;

EXACTMEX_ENTRY(sampledist)
