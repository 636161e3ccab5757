// Peak resident memory of one whole patch, measured in a fresh process of this program so
// that nothing the benchmarks allocated before counts.
#pragma once

#include <string>

// Patches a copy of the book at bookPath in a child process; its peak resident size in
// KiB, or -1 when the child could not run or the patch failed.
long PeakPatchMemoryKiB(const std::string& bookPath);

// The option that makes this program the child: patch the book named next, print the
// peak resident size, then exit.
constexpr char kPatchOnceOption[] = "--patch-once";

// This process's peak resident size in KiB (VmHWM), or -1 when it cannot be read.
long OwnPeakMemoryKiB();
