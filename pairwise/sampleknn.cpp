// [D, I] = sampleknn(X1, X2, code, k): the nearest columns of the sample
// family (pairwise/sample_family.h).
#include "gateway/gateway.h"
#include "pairwise/family_gateways.h"
#include "pairwise/sample_family.h"

constexpr auto sampleknn = nearestGateway<SampleFamily>;

EXACTMEX_ENTRY(sampleknn)
