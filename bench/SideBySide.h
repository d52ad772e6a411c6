// A figure timed beside its floor: each round times a batch of floor calls
// and a batch of subject calls back to back, their order alternating from
// round to round, so that the machine's drift falls on both; each round's
// ratio is kept, and the median ratio with its 10th and 90th percentiles is
// reported, with the median time of each per call.
#ifndef QUARN_BENCH_SIDEBYSIDE_H
#define QUARN_BENCH_SIDEBYSIDE_H

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace quarn_bench {

struct SideBySideFigures {
  double ratio = 0, ratioP10 = 0, ratioP90 = 0;
  double floorNs = 0, subjectNs = 0;  // medians, per call
};

template <typename Floor, typename Subject>
SideBySideFigures TimeSideBySide(benchmark::State& state, Floor floor, Subject subject, int callsPerRound = 1) {
  using Clock = std::chrono::steady_clock;
  const auto batch = [callsPerRound](auto& call) {
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < callsPerRound; ++i) benchmark::DoNotOptimize(call());
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / callsPerRound;
  };
  std::vector<double> ratios, floors, subjects;
  bool subjectFirst = false;
  for (auto _ : state) {
    double floorNs, subjectNs;
    if (subjectFirst) {
      subjectNs = batch(subject);
      floorNs = batch(floor);
    } else {
      floorNs = batch(floor);
      subjectNs = batch(subject);
    }
    subjectFirst = !subjectFirst;
    ratios.push_back(subjectNs / floorNs);
    floors.push_back(floorNs);
    subjects.push_back(subjectNs);
  }
  const auto at = [](std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[static_cast<size_t>(share * static_cast<double>(values.size() - 1))];
  };
  SideBySideFigures figures;
  figures.ratio = at(ratios, 0.5);
  figures.ratioP10 = at(ratios, 0.1);
  figures.ratioP90 = at(ratios, 0.9);
  figures.floorNs = at(floors, 0.5);
  figures.subjectNs = at(subjects, 0.5);
  state.counters["ratio"] = figures.ratio;
  state.counters["ratio_p10"] = figures.ratioP10;
  state.counters["ratio_p90"] = figures.ratioP90;
  return figures;
}

}  // namespace quarn_bench

#endif
