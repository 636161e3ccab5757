// The timed operations, each on every book size: the plain copy and its two halves (the
// floor), load, save, record transfer and the whole patch.
#pragma once

#include <vector>

void RegisterPatchBenchmarks(const std::vector<int>& pageCounts);

// Runs the whole patch once on the book at path; TRUE when it succeeded. The child process
// of the peak memory measurement runs this alone.
bool PatchOnce(const char* path);
