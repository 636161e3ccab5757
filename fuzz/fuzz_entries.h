// What each fuzz target does with one input. The libFuzzer programs and the native replay
// test call the same functions, so a kept crash input replays exactly as it was found.
// Each returns normally for any input the code handles as designed (a refusal, FALSE or
// one of our own exceptions); anything else (a crash, a sanitizer report, a foreign
// exception) is the bug that the input shows.
#pragma once

#include <cstddef>
#include <cstdint>

// CUpdateFile::Open on the bytes as a whole file, then every record of the tree looked up.
void FuzzContainerLoad(const std::uint8_t* data, std::size_t size);
// CopyContent from the bytes as an old e-book into a fresh engine file.
void FuzzRecordTransfer(const std::uint8_t* data, std::size_t size);
// PatchIcons on copies: a 2-byte little-endian length, that many bytes of source (fewer
// when the input ends first), and the rest as the destination.
void FuzzIconTransfer(const std::uint8_t* data, std::size_t size);
// The link-table walk over the bytes as record (350, 17).
void FuzzLinkTable(const std::uint8_t* data, std::size_t size);
// The page-index walk over the bytes as record (350, 2).
void FuzzPageIndex(const std::uint8_t* data, std::size_t size);

// The entry of the target called name ("container", "record_transfer", "icon_transfer",
// "link_table", "page_index"), or nullptr.
using FuzzEntry = void (*)(const std::uint8_t* data, std::size_t size);
FuzzEntry FindFuzzEntry(const char* name);
