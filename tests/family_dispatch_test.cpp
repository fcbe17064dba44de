// The pairwise gateways (pairwise/family_gateways.h) run the kernels of the
// class the data hold, for every class of a family's list and no other:
// shown on a family of its own whose list has more classes than the
// modules' yet, through a host of plain arrays.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pairwise/family_gateways.h"
#include "pairwise/sample_family.h"

namespace {

using gateway::DataClass;

// The call: its arguments and what the gateway made; errors are thrown.
struct PlainCall {
  std::vector<gateway::Arg> args;
  std::vector<std::vector<double>> memory;  // outputs and scratch, 8-byte aligned
  std::vector<DataClass> outputClasses;
};
struct Raised {
  std::string id, message;
};

void *plainMemory(PlainCall *c, size_t bytes) {
  c->memory.emplace_back(bytes / sizeof(double) + 1);
  return c->memory.back().data();
}

const gateway::Host kPlainHost = {
    [](void *ctx, int k) { return static_cast<PlainCall *>(ctx)->args[k]; },
    [](void *ctx, int, DataClass cls, int32_t m, int32_t n, int, bool) {
      PlainCall *c = static_cast<PlainCall *>(ctx);
      c->outputClasses.push_back(cls);
      return plainMemory(c, size_t(m) * n * sizeof(double));
    },
    nullptr,
    nullptr,
    [](void *ctx, size_t bytes) { return plainMemory(static_cast<PlainCall *>(ctx), bytes); },
    [](void *, const char *id, const char *message) {
      throw Raised{id, message};
    },
    nullptr,
    nullptr,
    nullptr};

template <class T>
gateway::Arg data(const std::vector<T> &v, uint64_t rows) {
  gateway::Arg a{};
  a.cls = gateway::classOf<T>();
  a.isNumeric = true;
  a.rows = rows, a.cols = v.size() / rows, a.count = v.size();
  a.data = v.data();
  return a;
}

gateway::Arg number(double value) {
  gateway::Arg a{};
  a.cls = DataClass::kDouble;
  a.isNumeric = true;
  a.rows = a.cols = a.count = 1;
  a.first = value;
  return a;
}

// Element (i, j): A(0, i) - B(0, j), in the result class, and column j's
// sum when the kernel has one, for a code of 1; D(r, j) of the nearest, the
// same of row r, and I its row.
template <class T>
void probeTable(const PairInputs<T> &in, ResultOf<T> *D, const gateway::Block &b) {
  for (int32_t j = b.j0; j < b.j1; ++j)
    for (int32_t i = b.i0; i < b.i1; ++i)
      D[i + size_t(j) * in.N1] = ResultOf<T>(in.A[i * in.d]) - ResultOf<T>(in.B[j * in.d]) +
                                 (in.columnSums ? in.columnSums[j] : 0);
}
template <class T>
void probeNearest(const PairInputs<T> &in, ResultOf<T> *D, double *I, int32_t kk, int32_t j0,
                  int32_t j1) {
  for (int32_t j = j0; j < j1; ++j)
    for (int32_t r = 0; r < kk; ++r) {
      D[r + size_t(j) * kk] = ResultOf<T>(in.A[r * in.d]) - ResultOf<T>(in.B[j * in.d]);
      I[r + size_t(j) * kk] = r + 1;
    }
}

struct ProbeMetrics {
  template <class T>
  static constexpr TableKernel<T> kTables[] = {nullptr, probeTable<T>};
  template <class T>
  static constexpr NearestKernel<T> kNearest[] = {nullptr, probeNearest<T>};
  template <class T>
  static constexpr simd::Kernels<TableKernel<T>> kernels(TableKernel<T>) {
    return kTables<T>;
  }
  template <class T>
  static constexpr simd::Kernels<NearestKernel<T>> kernels(NearestKernel<T>) {
    return kNearest<T>;
  }
};

// The sample family's counts and messages, of three classes, with column
// sums (B's first row) for code 1.
struct ProbeFamily : SampleFamily {
  using Classes = ClassList<double, float, uint8_t>;
  static Operands read(const gateway::Call &c) {
    using namespace gateway;
    const Input a = readMatrix(c, 0, "A", Classes());
    const Input b = readMatrix(c, 1, "B", Classes());
    sameClass(c, a, "A", b, "B");
    return operands(a, b, int32_t(c.host->arg(c.ctx, 2).first));
  }
  template <class T>
  static bool prepare(const gateway::Call &c, int32_t code, PairInputs<T> &in) {
    using R = ResultOf<T>;
    R *sums = static_cast<R *>(gateway::scratch(c, size_t(in.N2), sizeof(R)));
    for (int32_t j = 0; j < in.N2; ++j) sums[j] = R(in.B[j * in.d]);
    in.columnSums = code == 1 ? sums : nullptr;
    return true;
  }
  static KernelsByClass<TableKernel, Classes> tableKernels() {
    return KernelsByClass<TableKernel, Classes>::built<ProbeMetrics>();
  }
  static KernelsByClass<NearestKernel, Classes> nearestKernels() {
    return KernelsByClass<NearestKernel, Classes>::built<ProbeMetrics>();
  }
};

// Runs the table gateway (or with k the nearest one) of fn on A and B.
PlainCall run(const char *fn, const gateway::Arg &A, const gateway::Arg &B, double k = 0) {
  PlainCall call;
  call.args = {A, B, number(1)};
  if (k > 0) call.args.push_back(number(k));
  const gateway::Call c{fn, k > 0 ? 2 : 1, int(call.args.size()), &kPlainHost, &call};
  k > 0 ? nearestGateway<ProbeFamily>(c) : tableGateway<ProbeFamily>(c);
  return call;
}

TEST(FamilyDispatch, EachClassOfTheListRunsItsOwnKernelsIntoItsResultClass) {
  const std::vector<double> a8{1, 2}, b8{8, 16, 4, 32};
  const std::vector<float> a4{1, 2}, b4{8, 16, 4, 32};
  const std::vector<uint8_t> a1{1, 2}, b1{8, 16, 4, 32};
  // A of one row and two columns, B of one row and four.
  const PlainCall d = run("probe", data(a8, 1), data(b8, 1));
  const PlainCall s = run("probe", data(a4, 1), data(b4, 1));
  const PlainCall u = run("probe", data(a1, 1), data(b1, 1));
  EXPECT_EQ(d.outputClasses, std::vector<DataClass>{DataClass::kDouble});
  EXPECT_EQ(s.outputClasses, std::vector<DataClass>{DataClass::kSingle});
  EXPECT_EQ(u.outputClasses, std::vector<DataClass>{DataClass::kDouble});
  // With the column sums, of the class's result type: A(0, i) - B(0, j) +
  // B(0, j).
  const std::vector<double> want{1, 2, 1, 2, 1, 2, 1, 2};
  for (size_t e = 0; e < want.size(); ++e) {
    EXPECT_EQ(static_cast<const double *>(static_cast<const void *>(d.memory[0].data()))[e],
              want[e]);
    EXPECT_EQ(static_cast<const float *>(static_cast<const void *>(s.memory[0].data()))[e],
              float(want[e]));
    EXPECT_EQ(u.memory[0][e], want[e]);
  }
  const PlainCall n = run("probe", data(a4, 1), data(b4, 1), 1);
  EXPECT_EQ(n.outputClasses, (std::vector<DataClass>{DataClass::kSingle, DataClass::kDouble}));
  EXPECT_EQ(static_cast<const float *>(static_cast<const void *>(n.memory[0].data()))[3], -31.0f);
  EXPECT_EQ(n.memory[1][3], 1.0);
}

TEST(FamilyDispatch, OtherClassesAndMixedClassesAreRefused) {
  const std::vector<double> a8{1, 2};
  const std::vector<float> a4{1, 2};
  const std::vector<int8_t> a1{1, 2};
  const std::vector<uint8_t> u1{1, 2};
  struct Case {
    gateway::Arg A, B;
    const char *id, *message;
  } cases[] = {
      {data(a1, 1), data(a1, 1), "exactmex:probe:inputClass",
       "probe: A must be a real, full double array.\n"},
      {data(a4, 1), data(a1, 1), "exactmex:probe:inputClass",
       "probe: B must be a real, full double array.\n"},
      {data(a4, 1), data(a8, 1), "exactmex:probe:classMismatch",
       "probe: A (single) and B (double) must be of the same class.\n"},
      {data(u1, 1), data(a4, 1), "exactmex:probe:classMismatch",
       "probe: A (uint8) and B (single) must be of the same class.\n"},
  };
  for (const Case &c : cases)
    for (double k : {0.0, 1.0}) {
      try {
        (void)run("probe", c.A, c.B, k);
        ADD_FAILURE() << c.message << " was not raised";
      } catch (const Raised &r) {
        EXPECT_EQ(r.id, c.id);
        EXPECT_EQ(r.message, c.message);
      }
    }
}

}  // namespace
