// The converter against the cost of a copy, for every old format at growing
// sizes: generates a seeded database of each version with 100k, 200k and 400k
// carriers of ten titles, and one carrier with 100k titles (beside 10k
// carriers of ten titles, the same titles spread out), copies each with
// `dd bs=4M conv=fsync` (the converter syncs its output too) and converts it,
// each in a child process, and prints one table.
//
//   convert_table <convertVOSKO> <work directory> [scale]
//
// A scale below 1 shrinks every size, for a quick look (0.1: 10k to 40k).
// Times are medians of seven runs, alternating copy and conversion with the
// file in the page cache, the sizes of a version in turn; memory is the
// converter's peak resident set.
//
// Goals: every conversion within 3x the copy's time and at most 1.5x the
// input in memory beyond what converting an empty database takes; twice
// the size at most 2.2x the time; the one-carrier case within 2x the time of
// the same titles spread over carriers.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "child_run.h"

namespace {

using bench::ChildRun;
using bench::fileSize;
using bench::median;
using bench::ratioText;
using bench::runChild;
using bench::verdict;

constexpr double kTimeGoal = 3.0;
constexpr double kMemoryGoal = 1.5;
constexpr double kLinearGoal = 2.2;
constexpr double kOneCarrierGoal = 2.0;
constexpr int kRuns = 7;

struct Measurement {
  double inputBytes = 0;
  double copySeconds = 0;
  double convertSeconds = 0;
  double peakBytes = 0;
};

// Makes the database of each shape, then runs the copy and the conversion of
// every shape in turn, kRuns times over: the sizes of one version are timed
// side by side, so that a slower spell of the machine falls on all of them
// and not on one size's ratio to the next.
bool measure(const std::string& converter, const std::string& dir, const std::string& version,
             const std::vector<sample::GeneratedShape>& shapes, std::vector<Measurement>& ms) {
  const std::string copy = dir + "/bench_copy.vsk";
  const std::string output = dir + "/bench_output.vsk";
  std::vector<std::string> inputs;
  for (size_t i = 0; i < shapes.size(); ++i)
    inputs.push_back(dir + "/bench_input_" + std::to_string(i) + ".vsk");
  const auto removeAll = [&] {
    for (const std::string& input : inputs) std::remove(input.c_str());
    std::remove(copy.c_str());
    std::remove(output.c_str());
  };
  ms.assign(shapes.size(), Measurement());
  for (size_t i = 0; i < shapes.size(); ++i) {
    if (!bench::generateInChild(version, shapes[i], inputs[i])) {
      std::printf("%s: generating the database failed\n", version.c_str());
      removeAll();
      return false;
    }
    ms[i].inputBytes = fileSize(inputs[i]);
  }
  std::vector<std::vector<double>> copies(shapes.size()), conversions(shapes.size());
  for (int run = 0; run < kRuns; ++run) {
    for (size_t i = 0; i < shapes.size(); ++i) {
      // Each run makes a new file: none pays for taking away what another left.
      std::remove(copy.c_str());
      const ChildRun d = runChild({"dd", "if=" + inputs[i], "of=" + copy, "bs=4M", "conv=fsync"}, dir);
      std::remove(output.c_str());
      const ChildRun c = runChild({converter, version, inputs[i], output}, dir);
      if (d.exitCode != 0 || c.exitCode != 0) {
        std::printf("%s: dd exit code %d, convertVOSKO exit code %d\n", version.c_str(), d.exitCode,
                    c.exitCode);
        removeAll();
        return false;
      }
      copies[i].push_back(d.seconds);
      conversions[i].push_back(c.seconds);
      ms[i].peakBytes = std::max(ms[i].peakBytes, c.peakKiB * 1024.0);
    }
  }
  for (size_t i = 0; i < shapes.size(); ++i) {
    ms[i].copySeconds = median(copies[i]);
    ms[i].convertSeconds = median(conversions[i]);
  }
  removeAll();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: convert_table <convertVOSKO> <work directory> [scale]\n");
    return 2;
  }
  const std::string converter = argv[1];
  const std::string dir = argv[2];
  const double scale = argc > 3 ? std::atof(argv[3]) : 1.0;
  auto scaled = [&](int32_t n) { return std::max<int32_t>(1, static_cast<int32_t>(n * scale)); };
  // The 1.5 and 2.0 conversions read and write settings; keep them away from the user's.
  const std::string registry = dir + "/bench.reg";
  ::setenv("VOSKO_REGISTRY", registry.c_str(), 1);

  std::printf("%-6s %-20s %9s %8s %9s %7s %9s %7s %8s  %s\n", "format", "shape", "input MB", "dd s",
              "convert s", "x dd", "peak MB", "x input", "x time", "goals");
  bool allMet = true;
  for (const std::string version : {"1.5", "2.0", "2.5", "2.5.3", "2.5.5"}) {
    double previousSeconds = 0;
    double spreadSeconds = 0;
    struct Row {
      const char* label;
      sample::GeneratedShape shape;
      enum { kGrowing, kSpread, kOneCarrier } kind;
    };
    const Row rows[] = {
        {"carriers x 10", {scaled(100000), 10, 1}, Row::kGrowing},
        {"carriers x 10", {scaled(200000), 10, 2}, Row::kGrowing},
        {"carriers x 10", {scaled(400000), 10, 3}, Row::kGrowing},
        {"carriers x 10", {scaled(10000), 10, 4}, Row::kSpread},
        {"1 carrier x", {1, scaled(100000), 5}, Row::kOneCarrier},
    };
    // What the program takes for itself (code, libraries, start-up), measured
    // on an empty database, does not grow with the input and is not counted.
    std::vector<sample::GeneratedShape> shapes = {{0, 10, 1}};
    for (const Row& row : rows) shapes.push_back(row.shape);
    std::vector<Measurement> measured;
    if (!measure(converter, dir, version, shapes, measured)) return 1;
    const Measurement& empty = measured[0];
    std::printf("%-6s %-20s %9.1f %8s %9.3f %7s %9.1f\n", version.c_str(), "empty (baseline)",
                empty.inputBytes / 1e6, "", empty.convertSeconds, "", empty.peakBytes / 1e6);
    for (size_t r = 0; r < std::size(rows); ++r) {
      const Row& row = rows[r];
      const Measurement& m = measured[r + 1];
      const double timeRatio = m.convertSeconds / m.copySeconds;
      const double memoryRatio = std::max(0.0, m.peakBytes - empty.peakBytes) / m.inputBytes;
      bool met = timeRatio <= kTimeGoal && memoryRatio <= kMemoryGoal;
      std::string growth = "";
      if (row.kind == Row::kGrowing && previousSeconds > 0) {
        const double g = m.convertSeconds / previousSeconds;
        met = met && g <= kLinearGoal;
        growth = ratioText(g, "");
      } else if (row.kind == Row::kOneCarrier && spreadSeconds > 0) {
        const double g = m.convertSeconds / spreadSeconds;
        met = met && g <= kOneCarrierGoal;
        growth = ratioText(g, "*");
      }
      if (row.kind == Row::kGrowing) previousSeconds = m.convertSeconds;
      if (row.kind == Row::kSpread) spreadSeconds = m.convertSeconds;
      const std::string shape =
          row.kind == Row::kOneCarrier
              ? std::string(row.label) + " " + std::to_string(row.shape.titlesPerCarrier)
              : std::to_string(row.shape.carriers) + " " + row.label;
      std::printf("%-6s %-20s %9.1f %8.3f %9.3f %7.2f %9.1f %7.2f %8s  %s\n", version.c_str(), shape.c_str(),
                  m.inputBytes / 1e6, m.copySeconds, m.convertSeconds, timeRatio, m.peakBytes / 1e6,
                  memoryRatio, growth.c_str(), verdict(met));
      std::fflush(stdout);
      allMet = allMet && met;
    }
  }
  std::remove(registry.c_str());
  std::remove((registry + ".lock").c_str());
  std::printf(
      "\nx dd: conversion time / copy time (goal <= %.1f); x input: peak memory beyond the baseline / input "
      "size\n(goal <= %.1f); "
      "x time: time / time at half the size (goal <= %.1f); * against the same titles on 10 per carrier "
      "(goal <= %.1f).\n%s\n",
      kTimeGoal, kMemoryGoal, kLinearGoal, kOneCarrierGoal,
      allMet ? "Every goal met." : "Some goals missed.");
  return allMet ? 0 : 3;
}
