// Every module rejects inputs its kernels cannot read safely (other classes,
// complex, sparse, sizes beyond 32-bit counts) with an error naming the
// function and the argument, and leaves nothing allocated.
#include <gtest/gtest.h>

#include <functional>

#include "support/arrays.h"

namespace {

using namespace test;

struct Signature {
  const char *module;
  // A valid call: arguments built fresh for each case.
  std::function<std::vector<Array>()> validArgs;
  std::vector<const char *> names;  // one per argument
  std::vector<bool> isSelector;
};

std::vector<Signature> signatures() {
  return {
      {"lanefuse",
       [] {
         std::vector<Array> a;
         a.push_back(matrix(2, 3));
         a.push_back(matrix(2, 1));
         a.push_back(scalar(1));
         a.push_back(scalar(1));
         return a;
       },
       {"X", "v", "d", "opcode"},
       {false, false, true, true}},
      {"crossfuse",
       [] {
         std::vector<Array> a;
         a.push_back(matrix(2, 3));
         a.push_back(matrix(1, 3));
         a.push_back(matrix(2, 1));
         a.push_back(scalar(1));
         return a;
       },
       {"X", "vrow", "vcol", "opcode"},
       {false, false, false, true}},
      {"meshapply",
       [] {
         std::vector<Array> a;
         a.push_back(matrix(2, 3));
         a.push_back(matrix(1, 4));
         a.push_back(scalar(1));
         return a;
       },
       {"x", "y", "opcode"},
       {false, false, true}},
      {"sampledist",
       [] {
         std::vector<Array> a;
         a.push_back(matrix(2, 3));
         a.push_back(matrix(2, 4));
         a.push_back(scalar(1));
         return a;
       },
       {"X1", "X2", "code"},
       {false, false, true}},
      {"bindist",
       [] {
         std::vector<Array> a;
         a.push_back(matrix(2, 3));
         a.push_back(matrix(2, 4));
         a.push_back(scalar(1));
         return a;
       },
       {"H1", "H2", "mcode"},
       {false, false, true}},
  };
}

std::vector<const mxArray *> raw(const std::vector<Array> &args) {
  std::vector<const mxArray *> r;
  for (const Array &a : args) r.push_back(a.get());
  return r;
}

std::string expectedPrefix(const Signature &s, size_t k) {
  return std::string(s.module) + ": " + s.names[k] + " ";
}

TEST(InputSafety, DataInputsMustBeRealFullDouble) {
  const mxClassID others[] = {mxINT32_CLASS, mxSINGLE_CLASS, mxLOGICAL_CLASS, mxCHAR_CLASS,
                              mxUINT8_CLASS, mxCELL_CLASS,   mxSTRUCT_CLASS,  mxINT64_CLASS};
  for (const Signature &s : signatures()) {
    Module mod(s.module);
    for (size_t k = 0; k < s.names.size(); ++k) {
      if (s.isSelector[k]) continue;
      std::vector<Array> args = s.validArgs();
      const size_t m = mxGetM(args[k].get()), n = mxGetN(args[k].get());
      std::vector<Array> bad;
      for (mxClassID cls : others) bad.push_back(ofClass(cls, m, n));
      bad.push_back(ofClass(mxDOUBLE_CLASS, m, n, mxCOMPLEX));
      bad.push_back(sparse(m, n));
      for (Array &b : bad) {
        std::vector<const mxArray *> in = raw(args);
        in[k] = b.get();
        const size_t live = mxHostLiveArrays();
        const std::string e = mod.error(1, in);
        EXPECT_EQ(e.rfind(expectedPrefix(s, k), 0), 0u)
            << s.module << " arg " << s.names[k] << " class " << mxGetClassID(b.get()) << ": " << e;
        EXPECT_EQ(e.back(), '\n');
        EXPECT_EQ(mxHostLiveArrays(), live);
      }
    }
  }
}

TEST(InputSafety, SelectorsMustBeNumericLogicalOrChar) {
  for (const Signature &s : signatures()) {
    Module mod(s.module);
    for (size_t k = 0; k < s.names.size(); ++k) {
      if (!s.isSelector[k]) continue;
      for (mxClassID cls : {mxCELL_CLASS, mxSTRUCT_CLASS}) {
        std::vector<Array> args = s.validArgs();
        Array bad = ofClass(cls, 1, 1);
        std::vector<const mxArray *> in = raw(args);
        in[k] = bad.get();
        const std::string e = mod.error(1, in);
        EXPECT_EQ(e.rfind(expectedPrefix(s, k), 0), 0u)
            << s.module << " " << s.names[k] << ": " << e;
      }
    }
  }
}

TEST(InputSafety, DimensionsBeyondInt32AreRejectedWithoutReadingData) {
  const mwSize huge = mwSize(INT32_MAX) + 1;
  const mwSize shapes[][2] = {{huge, 1}, {1, huge}, {0, huge}, {65536, 65536}};
  for (const Signature &s : signatures()) {
    Module mod(s.module);
    for (size_t k = 0; k < s.names.size(); ++k) {
      if (s.isSelector[k]) continue;
      for (const auto &dims : shapes) {
        std::vector<Array> args = s.validArgs();
        Array fake(mxHostCreateShapeOnly(mxDOUBLE_CLASS, 2, dims));
        std::vector<const mxArray *> in = raw(args);
        in[k] = fake.get();
        const std::string e = mod.error(1, in);
        EXPECT_EQ(e.rfind(expectedPrefix(s, k), 0), 0u)
            << s.module << " " << s.names[k] << ": " << e;
      }
    }
  }
}

TEST(InputSafety, OtherSelectorClassesAreReadAsNumbers) {
  Module mod("lanefuse");
  Array X = matrix(2, 1, {1, 2}), v = matrix(2, 1, {10, 20});
  Array d = ofClass(mxINT8_CLASS, 1, 1);
  static_cast<signed char *>(mxGetData(d.get()))[0] = 1;
  Array op = ofClass(mxLOGICAL_CLASS, 1, 1);
  static_cast<unsigned char *>(mxGetData(op.get()))[0] = 1;  // true: add
  CallResult r = mod.call(1, {X.get(), v.get(), d.get(), op.get()});
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(values(r.outputs[0].get()), (std::vector<double>{11, 22}));
  // An empty opcode matches no code, like NaN: zeros.
  Array empty = matrix(0, 0);
  r = mod.call(1, {X.get(), v.get(), d.get(), empty.get()});
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(values(r.outputs[0].get()), (std::vector<double>{0, 0}));
  // An empty d is no direction.
  EXPECT_EQ(mod.error(1, {X.get(), v.get(), empty.get(), op.get()}),
            "The value of d is illegal, it should be either 1 or 2\n");
}

}  // namespace
