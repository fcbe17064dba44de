// Y = meshapply(x, y, opcode): the numel(x)-by-numel(y) table of x(i) op y(j)
// for sum (1), product (2), absolute difference (3), max (4) or min (5). The
// shapes of x and y do not matter, only their elements in linear order. x
// and y are both double or both single, and Y is of their class.
#include <tuple>

#include "gateway/gateway.h"
#include "pairwise/meshapply_kernels.h"

namespace {

// x and y of doubles or of singles, Y of their class.
using Classes = std::tuple<double, float>;

template <class T>
void mesh(const gateway::Call &c, const gateway::Input &x, const gateway::Input &y,
          int32_t opcode) {
  using namespace gateway;
  const MeshKernel<T> kernel = meshapplyKernels<T>().at(opcode);
  const int32_t m = x.count, n = y.count;
  T *Y = createOutput<T>(c, m, n, true);
  forPairBlocks(c, Y, m, n, 1, sizeof(T), [&](const Block &b) {
    kernel(x.as<T>(), y.as<T>(), Y, m, n, b.i0, b.i1, b.j0, b.j1);
  });
}

void meshapply(const gateway::Call &c) {
  using namespace gateway;
  if (c.nrhs != 3) fail(c, "nargin", "The number of input arguments should be 3.\n");
  if (c.nlhs > 1) fail(c, "nargout", "The number of output arguments should not exceed 1.\n");

  // Every class has a kernel for every code: double's say which exist.
  const int32_t opcode = readSelector(c, 2, "opcode");
  if (!meshapplyKernels<double>().at(opcode))
    fail(c, "badCode", "The opcode should be between 1 and 5.\n");

  const Input x = readMatrix(c, 0, "x", Classes());
  const Input y = readMatrix(c, 1, "y", Classes());
  sameClass(c, x, "x", y, "y");
  forClass(Classes(), x.cls, [&](auto zero) { mesh<decltype(zero)>(c, x, y, opcode); });
}

}  // namespace

EXACTMEX_ENTRY(meshapply)
