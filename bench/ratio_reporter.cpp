#include "bench/ratio_reporter.h"

#include <cstdio>
#include <set>

void CRatioReporter::ReportRuns(const std::vector<Run>& runs)
{
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.error_occurred || run.run_type != Run::RT_Iteration || run.iterations == 0)
            continue;
        const double seconds = run.real_accumulated_time / static_cast<double>(run.iterations);
        // Of repetitions the fastest counts: on a shared machine the others carry its load.
        const auto [slot, fresh] = m_seconds.try_emplace({run.run_name.function_name, std::stoi(run.run_name.args)}, seconds);
        if (!fresh && seconds < slot->second)
            slot->second = seconds;
    }
}

namespace {

double Seconds(const std::map<std::pair<std::string, int>, double>& seconds, const std::string& name, int pages)
{
    const auto found = seconds.find({name, pages});
    return found == seconds.end() ? 0.0 : found->second;
}

// "a / b" as text, or "-" when either is missing.
void PrintRatio(double a, double b)
{
    if (a > 0.0 && b > 0.0)
        std::printf(" %8.2f", a / b);
    else
        std::printf(" %8s", "-");
}

}  // namespace

void PrintRatios(const std::map<std::pair<std::string, int>, double>& seconds,
                 const std::map<int, std::pair<long, unsigned long>>& peakAndBookSize)
{
    static const char* const kOperations[] = {"Copy", "Read", "Write", "Load", "Save", "CopyContent", "Patch"};
    std::set<int> pageCounts;
    for (const auto& entry : seconds)
        pageCounts.insert(entry.first.second);

    std::printf("\n%-12s %8s %12s %8s %8s\n", "operation", "pages", "ms", "x copy", "x r/w");
    for (const int pages : pageCounts) {
        const double copy = Seconds(seconds, "Copy", pages);
        for (const char* name : kOperations) {
            const double time = Seconds(seconds, name, pages);
            if (time <= 0.0)
                continue;
            std::printf("%-12s %8d %12.3f", name, pages, time * 1e3);
            PrintRatio(time, copy);
            // Load against reading the same bytes, save against writing them, and the
            // transfers against the two halves of the copy timed apart: on some file systems
            // the copy pays for writing a file just read, which would flatter them.
            const std::string op = name;
            const double read = Seconds(seconds, "Read", pages);
            const double write = Seconds(seconds, "Write", pages);
            if (op == "Load")
                PrintRatio(time, read);
            else if (op == "Save")
                PrintRatio(time, write);
            else if (op == "CopyContent" || op == "Patch")
                PrintRatio(time, read > 0.0 && write > 0.0 ? read + write : 0.0);
            std::printf("\n");
        }
    }

    // Time per page from one book size to the next larger: at most 1.10 when doubling the
    // pages at most doubles the time.
    std::printf("\n%-12s %18s %14s\n", "operation", "pages", "per-page ratio");
    for (const char* name : kOperations) {
        int smaller = 0;
        for (const int pages : pageCounts) {
            const double time = Seconds(seconds, name, pages);
            if (smaller > 0 && time > 0.0 && Seconds(seconds, name, smaller) > 0.0) {
                const double perPage = (time / pages) / (Seconds(seconds, name, smaller) / smaller);
                std::printf("%-12s %8d -> %6d %14.2f\n", name, smaller, pages, perPage);
            }
            if (time > 0.0)
                smaller = pages;
        }
    }

    std::printf("\n%-12s %8s %12s %12s %8s\n", "peak memory", "pages", "book KiB", "peak KiB", "x book");
    for (const auto& [pages, peak] : peakAndBookSize) {
        const double bookKiB = static_cast<double>(peak.second) / 1024.0;
        if (peak.first < 0) {
            std::printf("%-12s %8d %12.0f %12s\n", "Patch", pages, bookKiB, "failed");
            continue;
        }
        std::printf("%-12s %8d %12.0f %12ld %8.2f\n", "Patch", pages, bookKiB, peak.first,
                    static_cast<double>(peak.first) / bookKiB);
    }
}
