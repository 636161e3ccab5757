#include "bench/peak_memory.h"

#include "bench/bench_books.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sys/wait.h>

long OwnPeakMemoryKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

long PeakPatchMemoryKiB(const std::string& bookPath)
{
    const std::string work = BenchPath("peak.exe");
    CopyWholeFile(bookPath, work);
    // A new program, not a fork: its high-water mark starts from nothing of ours.
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string command = "'" + self + "' " + kPatchOnceOption + " '" + work + "'";
    long peak = -1;
    {
        const std::unique_ptr<FILE, int (*)(FILE*)> child(::popen(command.c_str(), "r"), ::pclose);
        if (child && std::fscanf(child.get(), "%ld", &peak) != 1)
            peak = -1;
    }
    std::error_code ignored;
    std::filesystem::remove(work, ignored);
    std::filesystem::remove(work + ".bak", ignored);
    return peak;
}
