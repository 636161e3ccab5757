#include "tools/linktable/link_table_writer.h"

#include "store/container_file.h"
#include "store/record_keys.h"
#include "ui/link_table.h"

namespace {

// Records 14 and 18 travel beside the table as they do in every e-book; nothing reads
// them here, so they hold zeros.
constexpr int kRecordBefore = 14;
constexpr int kRecordAfter = 18;
constexpr BYTE kPlaceholder[6] = {};

}  // namespace

void WriteLinkTableTree(LPCTSTR exe, const std::vector<std::pair<std::string, std::string>>& pairs)
{
    const std::vector<BYTE> table = BuildLinkTable(pairs);
    CUpdateFile file;
    file.Open(exe, FALSE);
    file.m_root.RemoveChild(GROUP_BOOK);
    file.SetRecord(GROUP_BOOK, kRecordBefore, kPlaceholder, sizeof kPlaceholder);
    file.SetRecord(GROUP_BOOK, REC_LINK_TABLE, table.data(), static_cast<DWORD>(table.size()));
    file.SetRecord(GROUP_BOOK, kRecordAfter, kPlaceholder, sizeof kPlaceholder);
    file.Save();
}
