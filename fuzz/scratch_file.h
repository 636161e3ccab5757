// Inputs become files: the code under test opens paths. One folder per process, so that
// parallel fuzzing jobs do not share files; the folder goes when the process ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Path of name in the process's scratch folder (created on first use).
std::string ScratchPath(const char* name);
// Writes size bytes to path, replacing the file.
void WriteScratch(const std::string& path, const std::uint8_t* data, std::size_t size);
