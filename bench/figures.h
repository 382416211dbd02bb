// Each figure is a pair of benchmarks doing the same work: one through the
// program's own routine, one through the baseline a programmer would reach
// for. Both run in the same process, their repetitions interleaved, and the
// figure is the ratio of their medians; absolute times are printed only
// beside it.
#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <string>

namespace tavenro::bench {

struct Figure {
    std::string name;     // what is measured, e.g. "FindText, ASCII sought / mostly ASCII"
    std::string baseline; // what it is compared with, e.g. "string_view::find"
    double target = 0;    // the ratio not to exceed; 0 for a figure that only reports
    std::string note;     // printed under the table when not empty
    // Wall-clock time instead of the process's CPU time: for work that
    // waits on another process (the service). CPU time otherwise, which
    // other processes on a busy machine disturb less.
    bool wallClock = false;
};

using BenchmarkBody = std::function<void(benchmark::State&)>;

// Registers the figure's two benchmarks.
void AddFigure(const Figure& figure, BenchmarkBody ours, BenchmarkBody baseline);

// Runs the registered figures (Google Benchmark's own flags apply; unless
// given: 9 interleaved repetitions of at least 0.2 s each, aggregates only)
// and prints the table of median ratios in Markdown. Returns 0 also when a
// target is missed: the table says so.
int RunFigures(int argc, char** argv, const std::string& title);

// The median seconds of one side of a figure after RunFigures; 0 when it
// did not run.
[[nodiscard]] double MedianSeconds(const std::string& figureName, bool ours);

// Stops the run with a message when a figure's two sides disagree: a ratio
// is only meaningful between routines that give the same result.
void RequireSame(bool same, const std::string& what);

} // namespace tavenro::bench
