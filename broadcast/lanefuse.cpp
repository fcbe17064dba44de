// Y = lanefuse(X, v, d, opcode): X combined with a column (d = 1) or row
// (d = 2) vector v by copy (0), add (1), multiply (2), max (3) or min (4).
// Any other opcode returns zeros of the size of X. X and v are both double
// or both single, and Y is of their class.
#include <tuple>

#include "broadcast/lanefuse_kernels.h"
#include "gateway/gateway.h"

namespace {

// X and v of doubles or of singles, Y of their class.
using Classes = std::tuple<double, float>;

template <class T>
void fuse(const gateway::Call &c, const gateway::Input &x, const gateway::Input &v, int32_t d,
          int32_t opcode) {
  using namespace gateway;
  // No kernel for the code: Y keeps the zeros it is created with.
  const LaneKernel<T> kernel = lanefuseKernels<T>().at(opcode);
  T *Y = createOutputLike<T>(c, 0, x, kernel != nullptr);
  if (kernel)
    forColumns(c, Y, x.rows, x.cols, x.rows, [&](int32_t j0, int32_t j1) {
      kernel(d, x.as<T>(), v.as<T>(), Y, x.rows, x.cols, j0, j1);
    });
}

void lanefuse(const gateway::Call &c) {
  using namespace gateway;
  if (c.nlhs > 1) fail(c, "nargout", "The number of outputs should not be larger than 1\n");
  if (c.nrhs != 4) fail(c, "nargin", "The number of inputs should be 4: X, v, d, opcode\n");

  const Input x = readMatrix(c, 0, "X", Classes());
  const Input v = readMatrix(c, 1, "v", Classes());
  sameClass(c, x, "X", v, "v");
  const int32_t d = readSelector(c, 2, "d");
  const int32_t opcode = readSelector(c, 3, "opcode");

  if (d == 1) {
    if (v.rows != x.rows || v.cols != 1)
      fail(c, "sizeMismatch", "The size of vector v is illegal\n");
  } else if (d == 2) {
    if (v.rows != 1 || v.cols != x.cols)
      fail(c, "sizeMismatch", "The size of vector v is illegal\n");
  } else {
    fail(c, "badCode", "The value of d is illegal, it should be either 1 or 2\n");
  }

  forClass(Classes(), x.cls, [&](auto zero) { fuse<decltype(zero)>(c, x, v, d, opcode); });
}

}  // namespace

EXACTMEX_ENTRY(lanefuse)
