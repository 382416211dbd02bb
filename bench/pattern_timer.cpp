// The pattern search over a reply file, for scripts/bench.sh to set beside
// Python's re.finditer (finditer_timer.py) on the same file:
//   pattern_timer write FILE          writes the 4,000-song reply of the benchmarks
//   pattern_timer time FILE RUNS      SearchAll over the file RUNS times; prints
//                                     "matches N median S" (process CPU seconds)
#include "bench/sample_texts.h"
#include "songs/pattern.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: pattern_timer write FILE | pattern_timer time FILE RUNS\n");
    return 2;
}

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

} // namespace

int main(int argc, char** argv) {
    using namespace tavenro;
    if (argc == 3 && std::string(argv[1]) == "write") {
        const Text reply = bench::PlaylistReply(4000);
        std::ofstream(argv[2], std::ios::binary)
            .write(reply.data(), static_cast<std::streamsize>(reply.size()));
        return 0;
    }
    if (argc != 4 || std::string(argv[1]) != "time")
        return Usage();
    std::ifstream file(argv[2], std::ios::binary);
    const Text reply((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const int runs = std::max(1, std::atoi(argv[3]));

    Pattern pattern;
    if (!CompilePattern(pattern, bench::kSongExpression))
        return 1;
    std::vector<double> seconds;
    std::size_t matches = 0;
    for (int i = 0; i < runs; ++i) {
        const double start = CpuSeconds();
        matches = SearchAll(pattern, reply).size();
        seconds.push_back(CpuSeconds() - start);
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("matches %zu median %.6f\n", matches, seconds[seconds.size() / 2]);
    return 0;
}
