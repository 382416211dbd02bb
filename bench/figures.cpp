#include "bench/figures.h"

#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <map>
#include <string_view>
#include <vector>

namespace tavenro::bench {

namespace {

constexpr std::string_view kOurs = " [tavenro]";
constexpr std::string_view kBase = " [baseline]";

std::map<std::string, double>& Medians() {
    static std::map<std::string, double> medians;
    return medians;
}

std::vector<Figure>& Figures() {
    static std::vector<Figure> figures;
    return figures;
}

// The console output as usual, and the medians kept for the table.
class MedianKeeper final : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& reports) override {
        for (const Run& run : reports) {
            if (run.error_occurred) {
                failed_[run.run_name.function_name] = run.error_message;
                continue;
            }
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            // A single repetition reports no aggregate: its one run stands.
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            // The time the benchmark asked for: wall clock or CPU.
            const double time = run.run_name.time_type.empty() ? run.GetAdjustedCPUTime()
                                                               : run.GetAdjustedRealTime();
            if (median || single)
                seconds_[run.run_name.function_name] =
                    time / benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
        ConsoleReporter::ReportRuns(reports);
    }

    [[nodiscard]] const double* Seconds(const std::string& name) const {
        const auto found = seconds_.find(name);
        return found == seconds_.end() ? nullptr : &found->second;
    }

    [[nodiscard]] std::string Failure(const std::string& name) const {
        const auto found = failed_.find(name);
        return found == failed_.end() ? std::string() : found->second;
    }

  private:
    std::map<std::string, double> seconds_;
    std::map<std::string, std::string> failed_;
};

std::string Time(double seconds) {
    char text[32];
    if (seconds >= 1)
        std::snprintf(text, sizeof text, "%.2f s", seconds);
    else if (seconds >= 1e-3)
        std::snprintf(text, sizeof text, "%.2f ms", seconds * 1e3);
    else if (seconds >= 1e-6)
        std::snprintf(text, sizeof text, "%.1f us", seconds * 1e6);
    else
        std::snprintf(text, sizeof text, "%.0f ns", seconds * 1e9);
    return text;
}

bool HasFlag(int argc, char** argv, std::string_view flag) {
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]).substr(0, flag.size()) == flag)
            return true;
    return false;
}

} // namespace

void AddFigure(const Figure& figure, BenchmarkBody ours, BenchmarkBody baseline) {
    Figures().push_back(figure);
    for (auto [suffix, body] : {std::pair{kOurs, ours}, std::pair{kBase, baseline}}) {
        const std::string name = figure.name + std::string(suffix);
        auto* registered =
            benchmark::RegisterBenchmark(name.c_str(), body)->Unit(benchmark::kMillisecond);
        if (figure.wallClock)
            registered->UseRealTime();
    }
}

int RunFigures(int argc, char** argv, const std::string& title) {
    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=9";
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    std::string aggregates = "--benchmark_report_aggregates_only=true";
    std::string minTime = "--benchmark_min_time=0.2";
    if (!HasFlag(argc, argv, "--benchmark_repetitions"))
        args.push_back(repetitions.data());
    if (!HasFlag(argc, argv, "--benchmark_enable_random_interleaving"))
        args.push_back(interleave.data());
    if (!HasFlag(argc, argv, "--benchmark_report_aggregates_only"))
        args.push_back(aggregates.data());
    if (!HasFlag(argc, argv, "--benchmark_min_time"))
        args.push_back(minTime.data());
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 2;

    // Results of a megabyte and more are made on every call. Kept on the
    // heap and reused rather than mapped and unmapped each time, so that the
    // figures measure the routines and not the page faults of fresh memory
    // (which in a virtual machine can cost more than the routine itself),
    // on both sides alike.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);

    MedianKeeper keeper;
    benchmark::RunSpecifiedBenchmarks(&keeper);
    benchmark::Shutdown();

    std::printf("\n### %s\n\n", title.c_str());
    std::printf("| Figure | Tavenro | Baseline | Baseline time | Ratio | Target |\n");
    std::printf("|---|---:|---|---:|---:|---|\n");
    // Times are medians of process CPU time unless marked "(wall)".
    std::vector<std::string> notes;
    for (const Figure& figure : Figures()) {
        const std::string oursName = figure.name + std::string(kOurs);
        const std::string baseName = figure.name + std::string(kBase);
        const double* ours = keeper.Seconds(oursName);
        const double* base = keeper.Seconds(baseName);
        if (ours)
            Medians()[oursName] = *ours;
        if (base)
            Medians()[baseName] = *base;
        if (!ours || !base) {
            const std::string why = keeper.Failure(oursName) + keeper.Failure(baseName);
            if (!why.empty())
                std::printf("| %s | not run: %s | %s | | | |\n", figure.name.c_str(), why.c_str(),
                            figure.baseline.c_str());
            continue; // filtered out
        }
        const double ratio = *ours / *base;
        std::string target = "report";
        if (figure.target > 0) {
            char text[48];
            std::snprintf(text, sizeof text, "<= %.2f %s", figure.target,
                          ratio <= figure.target ? "met" : "MISSED");
            target = text;
        }
        const char* clock = figure.wallClock ? " (wall)" : "";
        std::printf("| %s | %s%s | %s | %s%s | **%.2f** | %s |\n", figure.name.c_str(),
                    Time(*ours).c_str(), clock, figure.baseline.c_str(), Time(*base).c_str(), clock,
                    ratio, target.c_str());
        if (!figure.note.empty())
            notes.push_back(figure.name + ": " + figure.note);
    }
    if (!notes.empty()) {
        std::printf("\n");
        for (const std::string& note : notes)
            std::printf("- %s\n", note.c_str());
    }
    std::fflush(stdout);
    return 0;
}

double MedianSeconds(const std::string& figureName, bool ours) {
    const auto found = Medians().find(figureName + std::string(ours ? kOurs : kBase));
    return found == Medians().end() ? 0 : found->second;
}

void RequireSame(bool same, const std::string& what) {
    if (same)
        return;
    std::fprintf(stderr, "benchmark set-up: %s: the two sides disagree\n", what.c_str());
    std::exit(3);
}

} // namespace tavenro::bench
