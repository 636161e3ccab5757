// Benchmarks of a book upgrade against a plain copy of the book. See README.md, "Benchmark".
#include "bench/bench_books.h"
#include "bench/patch_benchmarks.h"
#include "bench/peak_memory.h"
#include "bench/ratio_reporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <set>

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], kPatchOnceOption) == 0) {
        if (!PatchOnce(argv[2]))
            return 1;
        std::printf("%ld\n", OwnPeakMemoryKiB());
        return 0;
    }

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
