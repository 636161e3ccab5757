// What every end-to-end case starts from: a folder of its own holding a copy of
// Tomeshift.exe (so its link table can be rewritten), and the markers' log.
#pragma once

#include "tests/e2e/session.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

class E2ETest : public ::testing::Test {
public:
    void SetUp() override;

    // A file of this case's folder.
    std::string Path(const std::string& name) const;
    // The copy of Tomeshift.exe under test.
    std::string Exe() const { return Path("Tomeshift.exe"); }

    // Replaces the link table behind the copy; an empty table removes the record.
    void SetLinkTable(const Bytes& table) const;
    // The copy's bytes, to change them by hand.
    Bytes ReadExe() const;
    void WriteExe(const Bytes& bytes) const;
    // Where the copy's record tree starts.
    std::uint32_t TreeOffset() const;

    std::string m_dir;
};

// The markers the links may open: "marker.exe" (web addresses, with the address as its
// argument) and one copy per link slot, opened by its path.
std::string MarkerFolder();
std::string SlotMarker(int slot);  // full path of the slot's copy
// The lines written since ClearOpened: "<program>|<argument>".
std::vector<std::string> Opened();
void ClearOpened();
// Waits for line to be written; FALSE when it is not within timeoutMs.
bool WaitOpened(const std::string& line, DWORD timeoutMs = 10000);

Bytes ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const Bytes& bytes);
bool Exists(const std::string& path);

// Sets up the marker folder for the run: the marker program under its names.
void PrepareMarkers();
