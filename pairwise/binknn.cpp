// [D, I] = binknn(H1, H2, mcode, k): the nearest columns of the histogram
// family (pairwise/bin_family.h).
#include "gateway/gateway.h"
#include "pairwise/bin_family.h"
#include "pairwise/family_gateways.h"

constexpr auto binknn = nearestGateway<BinFamily>;

EXACTMEX_ENTRY(binknn)
