// The workloads the benchmark times: each is one module call through the
// standalone host, with inputs made once.
#ifndef EXACTMEX_BENCH_WORKLOADS_H
#define EXACTMEX_BENCH_WORKLOADS_H

#include <functional>
#include <string>
#include <vector>

#include "module_loader.h"

namespace bench {

struct Workload {
  std::string name;    // "W1 lanefuse add d=1": workload, module, case
  std::string module;  // the module file, without extension
  std::function<std::vector<mexhost::Array>()> inputs;
  double elements;                // output elements (or terms) one call computes
  double bytes;                   // output bytes: the size of the matching copy floor
  std::string unit = "elements";  // what `elements` counts: "terms" for pairwise sums
};

// The workloads with a speed goal of their own.
std::vector<Workload> workloads();

// The pairwise tables in shapes of the same work: square, 25 times taller
// than wide and 25 times wider than tall (and 400 times taller for 3 rows),
// named "shape MODULE CASE d=D N1xN2"; timed on recycled memory only.
std::vector<Workload> shapeSweep();

}  // namespace bench

#endif
