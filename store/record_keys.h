// Record addressing shared by every user of the store: a record is named by
// (group, key); keys are 16 bits wide.
#pragma once

constexpr int GROUP_BOOK = 350;   // whole-book records
constexpr int GROUP_PAGES = 349;  // page records, keyed by page id

constexpr int REC_PAGE_INDEX = 2;   // (350, 2)
constexpr int REC_SETTINGS = 3;     // (350, 3)
constexpr int REC_LINK_TABLE = 17;  // (350, 17)
