// Benchmarks of a book upgrade against a plain copy of the book. See README.md, "Benchmark".
#include "bench/bench_books.h"
#include "bench/patch_benchmarks.h"
#include "bench/peak_memory.h"
#include "bench/ratio_reporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <limits>
#include <malloc.h>
#include <cstring>
#include <set>

namespace {
// glibc's upper bound for blocks kept in the heap rather than mapped on their own.
constexpr int kLargestHeapBlock = 32 * 1024 * 1024;
}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], kPatchOnceOption) == 0) {
        if (!PatchOnce(argv[2]))
            return 1;
        std::printf("%ld\n", OwnPeakMemoryKiB());
        return 0;
    }

    // Memory freed by one round stays with the process for the next, as the copy's buffer
    // does: otherwise each round would time the system handing out fresh pages, which on a
    // virtual machine swings by a factor of five from run to run. A single patch, measured
    // for its peak above, runs without this.
    mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
    mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // 32,768 pages sits beside 65,536 so that doubling the pages can be judged directly.
    RegisterPatchBenchmarks({1, 1000, 32768, 65536});
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::map<int, std::pair<long, unsigned long>> peaks;
    for (const auto& entry : reporter.m_seconds) {
        const auto& [name, pages] = entry.first;
        if (name == "Patch")
            peaks[pages] = {PeakPatchMemoryKiB(BenchBook(pages)), BenchBookSize(pages)};
    }
    PrintRatios(reporter.m_seconds, peaks);
    benchmark::Shutdown();
    return 0;
}
