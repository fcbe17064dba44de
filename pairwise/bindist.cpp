// D = bindist(H1, H2, mcode): the table of the histogram family
// (pairwise/bin_family.h).
#include "gateway/gateway.h"
#include "pairwise/bin_family.h"
#include "pairwise/family_gateways.h"

constexpr auto bindist = tableGateway<BinFamily>;

EXACTMEX_ENTRY(bindist)
