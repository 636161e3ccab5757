// The books the benchmarks work on: sample books of 4 KiB pages in a temporary folder that
// goes away with the program, and the file helpers the timed loops need.
#pragma once

#include "platform/cstring.h"

#include <string>
#include <vector>

constexpr DWORD kBenchPageSize = 4096;

// The temporary folder; created on first use, removed with everything in it at exit.
const std::string& BenchFolder();
// A path in the temporary folder.
std::string BenchPath(const std::string& name);

// The book of pages pages, written on first use with the template engine as its image.
const std::string& BenchBook(int pages);
// The book's length in bytes.
DWORD BenchBookSize(int pages);

// Writes the template engine to path, as the patch's first step does.
void WriteEngineFile(const std::string& path);
// Copies the file from to to (replacing it) with the platform's files.
void CopyWholeFile(const std::string& from, const std::string& to);
