// Every module rejects inputs its kernels cannot read safely (other classes,
// complex, sparse, sizes beyond 32-bit counts) with an error naming the
// function and the argument, and leaves nothing allocated.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <random>

#include "modules/description.h"
#include "support/sanitizers.h"

namespace {

using namespace test;

std::string expectedPrefix(const Description &s, size_t k) {
  return s.module + ": " + s.args[k].name + " ";
}

// An m-by-n array of class cls: special values of doubles and singles,
// any bits of the integer classes.
Array drawn(mxClassID cls, size_t m, size_t n, std::mt19937_64 &rng) {
  Array a = ofClass(cls, m, n);
  if (cls == mxDOUBLE_CLASS) {
    const std::vector<double> v = specialValues<double>(rng, m * n);
    std::copy(v.begin(), v.end(), mxGetPr(a.get()));
  } else if (cls == mxSINGLE_CLASS) {
    const std::vector<float> v = specialValues<float>(rng, m * n);
    std::copy(v.begin(), v.end(), static_cast<float *>(mxGetData(a.get())));
  } else {
    unsigned char *p = static_cast<unsigned char *>(mxGetData(a.get()));
    for (size_t k = 0; k < m * n * mxGetElementSize(a.get()); ++k) p[k] = uint8_t(rng());
  }
  return a;
}

// Real and full, of a class the module's description lists: every class of
// them is taken and gives the model's result, single data a single one.
// Data of any other class, complex or sparse are refused as inputClass in
// the words of the modules that took doubles alone; data of two classes
// taken, as classMismatch naming both. Nothing is left allocated.
TEST(InputSafety, DataInputsAreRealFullAndOfOneClassTaken) {
  const mxClassID classes[] = {mxDOUBLE_CLASS,  mxINT32_CLASS,  mxSINGLE_CLASS,
                               mxLOGICAL_CLASS, mxCHAR_CLASS,   mxUINT8_CLASS,
                               mxCELL_CLASS,    mxSTRUCT_CLASS, mxINT64_CLASS};
  std::mt19937_64 rng(29);
  for (const Description &s : descriptions()) {
    Module mod(s.module);
    std::vector<size_t> data;
    for (size_t k = 0; k < s.args.size(); ++k)
      if (s.args[k].data()) data.push_back(k);
    if (data.empty()) continue;
    for (mxClassID cls : s.classes) {
      std::vector<Array> args = s.validArgs(true);
      for (size_t k : data) args[k] = drawn(cls, s.args[k].largeRows, s.args[k].largeCols, rng);
      const Call call{1, pointers(args)};
      const CallResult r = mod.call(1, call.args);
      ASSERT_TRUE(r.ok) << s.module << " class " << kClassNames[cls] << ": " << r.error;
      EXPECT_EQ(mismatch(r.outputs[0].get(), s.expect(call)), "")
          << s.module << " class " << kClassNames[cls];
    }
    const auto refused = [&](const std::vector<const mxArray *> &in, const char *reason,
                             const std::string &message) {
      const size_t live = mxHostLiveArrays();
      const CallResult r = mod.call(1, in);
      EXPECT_EQ(r.identifier, "exactmex:" + s.module + ":" + reason) << message;
      EXPECT_EQ(r.error, message);
      EXPECT_EQ(mxHostLiveArrays(), live) << message;
    };
    for (size_t k : data) {
      std::vector<Array> args = s.validArgs();
      const size_t m = mxGetM(args[k].get()), n = mxGetN(args[k].get());
      std::vector<Array> bad;
      for (mxClassID cls : classes)
        if (std::find(s.classes.begin(), s.classes.end(), cls) == s.classes.end())
          bad.push_back(ofClass(cls, m, n));
      bad.push_back(ofClass(mxDOUBLE_CLASS, m, n, mxCOMPLEX));
      bad.push_back(sparse(m, n));
      for (Array &b : bad) {
        std::vector<const mxArray *> in = pointers(args);
        in[k] = b.get();
        refused(in, "inputClass", expectedPrefix(s, k) + "must be a real, full double array.\n");
      }
      // One argument of the second class taken, the others of the first:
      // the first data argument and this one differ (the second, for the
      // first).
      if (s.classes.size() < 2) continue;
      const mxClassID one = s.classes[0], other = s.classes[1];
      std::vector<Array> mixed;
      for (size_t j = 0; j < s.args.size(); ++j)
        mixed.push_back(s.args[j].data()
                            ? ofClass(j == k ? other : one, s.args[j].rows, s.args[j].cols)
                            : scalar(1));
      const size_t a = data[0], b = k == a ? data[1] : k;
      refused(pointers(mixed), "classMismatch",
              s.module + ": " + s.args[a].name + " (" + kClassNames[a == k ? other : one] +
                  ") and " + s.args[b].name + " (" + kClassNames[b == k ? other : one] +
                  ") must be of the same class.\n");
    }
  }
}

TEST(InputSafety, SelectorsMustBeNumericLogicalOrChar) {
  for (const Description &s : descriptions()) {
    Module mod(s.module);
    for (size_t k = 0; k < s.args.size(); ++k) {
      if (!s.args[k].selector) continue;
      for (mxClassID cls : {mxCELL_CLASS, mxSTRUCT_CLASS}) {
        std::vector<Array> args = s.validArgs();
        Array bad = ofClass(cls, 1, 1);
        std::vector<const mxArray *> in = pointers(args);
        in[k] = bad.get();
        const std::string e = mod.error(1, in);
        EXPECT_EQ(e.rfind(expectedPrefix(s, k), 0), 0u)
            << s.module << " " << s.args[k].name << ": " << e;
      }
    }
  }
}

// A count (k) is a real numeric scalar holding a positive whole number, of
// any numeric class; anything else is refused as badK, naming it.
TEST(InputSafety, CountsMustBePositiveWholeNumericScalars) {
  std::vector<Array> bad;
  for (double v : {0.0, -1.0, 2.5, 1e-300, kNaN, kInf, -kInf}) bad.push_back(scalar(v));
  bad.push_back(matrix(0, 0));
  bad.push_back(matrix(1, 2, {1, 2}));
  bad.push_back(ofClass(mxDOUBLE_CLASS, 1, 1, mxCOMPLEX));
  for (mxClassID cls : {mxLOGICAL_CLASS, mxCHAR_CLASS, mxCELL_CLASS, mxSTRUCT_CLASS})
    bad.push_back(ofClass(cls, 1, 1));
  Array eight = ofClass(mxINT8_CLASS, 1, 1), single = ofClass(mxSINGLE_CLASS, 1, 1);
  static_cast<signed char *>(mxGetData(eight.get()))[0] = 2;
  static_cast<float *>(mxGetData(single.get()))[0] = 3.0f;
  for (const Description &s : descriptions()) {
    Module mod(s.module);
    for (size_t k = 0; k < s.args.size(); ++k) {
      if (!s.args[k].count) continue;
      std::vector<Array> args = s.validArgs();
      for (const Array &b : bad) {
        std::vector<const mxArray *> in = pointers(args);
        in[k] = b.get();
        const size_t live = mxHostLiveArrays();
        CallResult r = mod.call(1, in);
        EXPECT_EQ(r.identifier, "exactmex:" + s.module + ":badK") << s.module << ": " << r.error;
        EXPECT_EQ(r.error.rfind(expectedPrefix(s, k), 0), 0u) << s.module << ": " << r.error;
        EXPECT_EQ(mxHostLiveArrays(), live);
      }
      for (const Array *good : {&eight, &single}) {
        std::vector<const mxArray *> in = pointers(args);
        in[k] = good->get();
        EXPECT_TRUE(mod.call(1, in).ok) << s.module << " class " << mxGetClassID(good->get());
      }
    }
  }
}

TEST(InputSafety, DimensionsBeyondInt32AreRejectedWithoutReadingData) {
  const mwSize huge = mwSize(INT32_MAX) + 1;
  std::vector<std::array<mwSize, 2>> shapes = {{huge, 1}, {1, huge}, {0, huge}};
  // Only a 64-bit mwSize can count 2^32 elements; a 32-bit host has no such array.
  if (sizeof(mwSize) > 4) shapes.push_back({65536, 65536});
  for (const Description &s : descriptions()) {
    Module mod(s.module);
    for (size_t k = 0; k < s.args.size(); ++k) {
      if (!s.args[k].data()) continue;
      for (const auto &dims : shapes) {
        std::vector<Array> args = s.validArgs();
        Array fake(mxHostCreateShapeOnly(mxDOUBLE_CLASS, 2, dims.data()));
        std::vector<const mxArray *> in = pointers(args);
        in[k] = fake.get();
        const std::string e = mod.error(1, in);
        EXPECT_EQ(e.rfind(expectedPrefix(s, k), 0), 0u)
            << s.module << " " << s.args[k].name << ": " << e;
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

// An output sized from two counts can need more bytes than a size_t holds:
// 1073764994 x 2147437309 doubles wrap to 537,552 bytes. Such outputs are
// refused, naming the function, before the host is asked for memory (the
// tables' error cases have more).
TEST(InputSafety, OutputsTooLargeForMemoryAreRefusedBeforeAllocation) {
  Module mesh("meshapply");
  const mwSize shapes[2][2][2] = {{{1073764994, 1}, {1, 2147437309}},
                                  {{1, INT32_MAX}, {INT32_MAX, 1}}};
  const char *sizes[2] = {"1073764994 x 2147437309", "2147483647 x 2147483647"};
  for (int k = 0; k < 2; ++k) {
    Array a(mxHostCreateShapeOnly(mxDOUBLE_CLASS, 2, shapes[k][0]));
    Array b(mxHostCreateShapeOnly(mxDOUBLE_CLASS, 2, shapes[k][1]));
    const size_t live = mxHostLiveArrays();
    EXPECT_EQ(mesh.error(1, {a.get(), b.get(), scalar(3 - 2 * k).get()}),
              std::string("meshapply: the output of ") + sizes[k] +
                  " elements is too large for memory.\n");
    EXPECT_EQ(mxHostLiveArrays(), live);
  }
#if !defined(EXACTMEX_ASAN)  // which ends the process on a request this large
  // 2^59 doubles, 2^62 bytes: a size the host may be asked for, and refuses.
  if (sizeof(size_t) == 8) {
    Module mod("bindist");
    const mwSize n1[2] = {0, mwSize(1) << 30}, n2[2] = {0, mwSize(1) << 29};
    Array a(mxHostCreateShapeOnly(mxDOUBLE_CLASS, 2, n1));
    Array b(mxHostCreateShapeOnly(mxDOUBLE_CLASS, 2, n2));
    EXPECT_EQ(mod.error(1, {a.get(), b.get(), scalar(2).get()}), "Out of memory.\n");
  }
#endif
}

// A selector's value is its first element. A sparse array stores only its
// nonzero elements, so one that does not store element (0,0) selects 0,
// whatever it stores later (mxGetScalar would give the first stored one).
TEST(InputSafety, SparseSelectorsAreReadAsTheirFirstElement) {
  Module lane("lanefuse"), mesh("meshapply");
  Array X = matrix(2, 3, {1, 4, 2, 5, 3, 6}), v = matrix(2, 1, {10, 20}), one = scalar(1);
  Array zeroThenTwo = sparse(1, 2, {{0, 1, 2}});
  CallResult r = lane.call(1, {X.get(), v.get(), one.get(), zeroThenTwo.get()});
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(values(r.outputs[0].get()), (std::vector<double>{10, 20, 10, 20, 10, 20}));  // copy
  Array zeroThenOne = sparse(1, 2, {{0, 1, 1}});
  EXPECT_EQ(lane.error(1, {X.get(), v.get(), zeroThenOne.get(), one.get()}),
            "The value of d is illegal, it should be either 1 or 2\n");
  Array x = matrix(1, 2, {1, 2}), zeroThenThree = sparse(1, 2, {{0, 1, 3}});
  EXPECT_EQ(mesh.error(1, {x.get(), x.get(), zeroThenThree.get()}),
            "The opcode should be between 1 and 5.\n");
  // Element (0,0) stored: its value, also an explicitly stored zero.
  Array twoThenZero = sparse(1, 2, {{0, 0, 2}});
  r = lane.call(1, {X.get(), v.get(), one.get(), twoThenZero.get()});
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(values(r.outputs[0].get()), (std::vector<double>{10, 80, 20, 100, 30, 120}));
  Array storedZero = sparse(1, 2, {{0, 0, 0.0}, {0, 1, 2}});
  r = lane.call(1, {X.get(), v.get(), one.get(), storedZero.get()});
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(values(r.outputs[0].get()), (std::vector<double>{10, 20, 10, 20, 10, 20}));
  // Sparse logical: true at (0,0) is 1 (add).
  Array flag(mxCreateSparseLogicalMatrix(1, 2, 1));
  mxGetJc(flag.get())[1] = mxGetJc(flag.get())[2] = 1;
  static_cast<mxLogical *>(mxGetData(flag.get()))[0] = true;
  r = lane.call(1, {X.get(), v.get(), one.get(), flag.get()});
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(values(r.outputs[0].get()), (std::vector<double>{11, 24, 12, 25, 13, 26}));
}

}  // namespace
