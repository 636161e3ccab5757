// What the record transfer would make of a book, said before it runs: every reason it
// would refuse the book, and the records it would leave behind.
#pragma once

#include "platform/cstring.h"
#include "store/container_file.h"

#include <vector>

struct CBookProblem {
    int m_nGroup;
    int m_nKey;
    bool m_bMissing;  // the record is absent (else it is there but wrong)
    CString m_strText;
};

// Every reason the transfer would refuse book's tree, in catalogue order: missing required
// records, settings of a wrong size, pages the index lists that the book lacks, an index
// entry cut short. Empty for a book the transfer carries.
std::vector<CBookProblem> CheckBook(const CUpdateFile& book);

struct CRecordKey {
    int m_nGroup;
    int m_nKey;
};

// "(group, key)", as records are named to a person.
CString RecordName(int group, int key);

// The records of book's tree that the transfer does not carry, in tree order.
std::vector<CRecordKey> DroppedRecords(const CUpdateFile& book);
