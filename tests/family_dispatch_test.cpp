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

// The call: its arguments and its outputs (8-byte aligned), of these
// classes; errors are thrown.
struct PlainCall {
  std::vector<gateway::Arg> args;
  std::vector<std::vector<double>> outputs;
  std::vector<DataClass> classes;
  template <class R>
  R at(size_t output, size_t e) const {
    return static_cast<const R *>(static_cast<const void *>(outputs[output].data()))[e];
  }
};
struct Raised {
  std::string id, message;
};

const gateway::Host kPlainHost = {
    [](void *ctx, int k) { return static_cast<PlainCall *>(ctx)->args[k]; },
    [](void *ctx, int, DataClass cls, int32_t m, int32_t n, int, bool) -> void * {
      PlainCall *c = static_cast<PlainCall *>(ctx);
      c->classes.push_back(cls);
      return c->outputs.emplace_back(size_t(m) * n + 1).data();
    },
    nullptr,
    nullptr,
    nullptr,
    [](void *, const char *id, const char *message) {
      throw Raised{id, message};
    },
    nullptr,
    nullptr,
    nullptr};

// A row of data of T, or a double scalar.
template <class T>
gateway::Arg row(const std::vector<T> &v) {
  gateway::Arg a{gateway::classOf<T>(), true};
  a.rows = 1, a.cols = a.count = v.size();
  a.data = v.data();
  return a;
}
gateway::Arg number(double value) {
  gateway::Arg a = row(std::vector<double>{});
  a.cols = a.count = 1;
  a.first = value;
  return a;
}

// Element (i, j): A(0, i) - B(0, j) in the result class; D(r, j) of the
// nearest, the same of row r, and I its row.
template <class T>
void probeTable(const PairInputs<T> &in, ResultOf<T> *D, const gateway::Block &b) {
  for (int32_t j = b.j0; j < b.j1; ++j)
    for (int32_t i = b.i0; i < b.i1; ++i)
      D[i + size_t(j) * in.N1] = ResultOf<T>(in.A[i * in.d]) - ResultOf<T>(in.B[j * in.d]);
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

// The sample family's counts and messages, of three classes.
struct ProbeFamily : SampleFamily {
  using Classes = ClassList<double, float, uint8_t>;
  static Operands read(const gateway::Call &c) {
    using namespace gateway;
    const Input a = readMatrix(c, 0, "A", Classes());
    const Input b = readMatrix(c, 1, "B", Classes());
    sameClass(c, a, "A", b, "B");
    return operands(a, b, 1);
  }
  static KernelsByClass<TableKernel, Classes> tableKernels() {
    return KernelsByClass<TableKernel, Classes>::built<ProbeMetrics>();
  }
  static KernelsByClass<NearestKernel, Classes> nearestKernels() {
    return KernelsByClass<NearestKernel, Classes>::built<ProbeMetrics>();
  }
};

// The table gateway on A and B, or with k the nearest one.
PlainCall run(const gateway::Arg &A, const gateway::Arg &B, double k = 0) {
  PlainCall call;
  call.args = {A, B, number(1), number(k)};
  const gateway::Call c{"probe", k > 0 ? 2 : 1, k > 0 ? 4 : 3, &kPlainHost, &call};
  k > 0 ? nearestGateway<ProbeFamily>(c) : tableGateway<ProbeFamily>(c);
  return call;
}

TEST(FamilyDispatch, EachClassOfTheListRunsItsOwnKernelsIntoItsResultClass) {
  const std::vector<double> a8{1, 2}, b8{8, 16, 4, 32};
  const std::vector<float> a4{1, 2}, b4{8, 16, 4, 32};
  const std::vector<uint8_t> a1{1, 2}, b1{8, 16, 4, 32};
  const PlainCall d = run(row(a8), row(b8)), s = run(row(a4), row(b4)), u = run(row(a1), row(b1));
  EXPECT_EQ(d.classes, std::vector<DataClass>{DataClass::kDouble});
  EXPECT_EQ(s.classes, std::vector<DataClass>{DataClass::kSingle});
  EXPECT_EQ(u.classes, std::vector<DataClass>{DataClass::kDouble});
  for (size_t e = 0; e < 8; ++e) {
    const double want = a8[e % 2] - b8[e / 2];
    EXPECT_EQ(d.at<double>(0, e), want);
    EXPECT_EQ(s.at<float>(0, e), float(want));
    EXPECT_EQ(u.at<double>(0, e), want);
  }
  const PlainCall n = run(row(a4), row(b4), 1);
  EXPECT_EQ(n.classes, (std::vector<DataClass>{DataClass::kSingle, DataClass::kDouble}));
  EXPECT_EQ(n.at<float>(0, 3), -31.0f);
  EXPECT_EQ(n.at<double>(1, 3), 1.0);
}

TEST(FamilyDispatch, OtherClassesAndMixedClassesAreRefused) {
  const std::vector<double> a8{1, 2};
  const std::vector<float> a4{1, 2};
  const std::vector<int8_t> a1{1, 2};
  const std::vector<uint8_t> u1{1, 2};
  struct Case {
    gateway::Arg A, B;
    const char *reason, *message;
  } cases[] = {
      {row(a1), row(a1), "inputClass", "probe: A must be a real, full double array.\n"},
      {row(a4), row(a1), "inputClass", "probe: B must be a real, full double array.\n"},
      {row(a4), row(a8), "classMismatch",
       "probe: A (single) and B (double) must be of the same class.\n"},
      {row(u1), row(a4), "classMismatch",
       "probe: A (uint8) and B (single) must be of the same class.\n"},
  };
  for (const Case &c : cases)
    for (double k : {0.0, 1.0}) {
      try {
        (void)run(c.A, c.B, k);
        ADD_FAILURE() << c.message << " was not raised";
      } catch (const Raised &r) {
        EXPECT_EQ(r.id, std::string("exactmex:probe:") + c.reason);
        EXPECT_EQ(r.message, c.message);
      }
    }
}

}  // namespace
