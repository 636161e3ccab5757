// E-books for tests: an executable image followed by a record tree and its trailer,
// described record by record.
#pragma once

#include "tests/support/temp_dir.h"

#include <string>
#include <vector>

struct BookRecord {
    int group;
    int key;
    Bytes data;  // stored as it stands, an empty blob included
};

struct PageEntry {
    std::string name;
    std::uint32_t id;
    Bytes extra = Bytes(12, 0xEE);  // the 12 bytes behind the id; shorter to cut an entry off
};

// The page index record's bytes for these entries, back to back.
Bytes PageIndexBytes(const std::vector<PageEntry>& entries);

// Text of a page, as bytes.
Bytes TextBytes(const std::string& text);

// A complete, valid catalogue: index (350, 2) listing pages 1, 2, 3; the pages; settings
// (350, 3) of 80 bytes; (350, 4) to (350, 14) and (350, 16); optional 17, 18 and 15; each
// with distinct bytes. The list is in the order a saved upgrade holds them.
std::vector<BookRecord> StandardCatalogue();

// Records a patch must drop: (350, 1), (350, 19), a record of group 500, and page 9, which
// the index does not list.
std::vector<BookRecord> RecordsToDrop();

// Writes image to path, then a tree holding records (groups in order of first appearance,
// records in the given order) and the trailer, through the store.
void WriteBook(const std::string& path, const Bytes& image, const std::vector<BookRecord>& records);

// A stand-in for an executable image: size bytes of a recognisable pattern, starting "MZ".
Bytes FakeImage(size_t size);

// The records of the container at path, in tree order (groups, then their records).
std::vector<BookRecord> ReadBookRecords(const std::string& path);

// records without the (group, key) entries listed.
std::vector<BookRecord> Without(std::vector<BookRecord> records, const std::vector<std::pair<int, int>>& keys);

bool operator==(const BookRecord& a, const BookRecord& b);
void PrintTo(const BookRecord& record, std::ostream* os);
