// The console report, plus what the targets are judged by: every time as a ratio to the
// plain copy of the same book, load and save against reading and writing the same bytes,
// how each operation grows when the pages double, and the whole patch's peak memory.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>

class CRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;

    // Seconds per round, by (operation, pages); the fastest of repetitions.
    std::map<std::pair<std::string, int>, double> m_seconds;
};

// Prints the ratios of the timings, and peak memory (KiB by pages) against the book size.
void PrintRatios(const std::map<std::pair<std::string, int>, double>& seconds,
                 const std::map<int, std::pair<long, unsigned long>>& peakAndBookSize);
