#include "tests/support/book_builder.h"

#include "store/container_file.h"
#include "store/record_keys.h"

#include <algorithm>
#include <ostream>

Bytes PageIndexBytes(const std::vector<PageEntry>& entries)
{
    Bytes out;
    for (const PageEntry& e : entries) {
        out.insert(out.end(), e.name.begin(), e.name.end());
        out.push_back(0);
        for (int shift = 0; shift < 32; shift += 8)
            out.push_back(static_cast<std::uint8_t>(e.id >> shift));
        out.insert(out.end(), e.extra.begin(), e.extra.end());
    }
    return out;
}

Bytes TextBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::vector<BookRecord> StandardCatalogue()
{
    std::vector<BookRecord> records;
    records.push_back({GROUP_BOOK, REC_PAGE_INDEX,
                       PageIndexBytes({{"Cover", 1}, {"Chapter One", 2}, {"Chapter Two", 3}})});
    records.push_back({GROUP_BOOK, REC_SETTINGS, Bytes(80, 0x33)});
    for (int key = 4; key <= 14; ++key)
        records.push_back({GROUP_BOOK, key, Bytes(static_cast<size_t>(key), static_cast<std::uint8_t>(key))});
    records.push_back({GROUP_BOOK, 16, Bytes(16, 16)});
    records.push_back({GROUP_BOOK, REC_LINK_TABLE, TextBytes(std::string("<%MARKETING%>\0https://tomeshift.example/\0", 42))});
    records.push_back({GROUP_BOOK, 18, Bytes(6, 18)});
    records.push_back({GROUP_BOOK, 15, Bytes(15, 15)});
    records.push_back({GROUP_PAGES, 1, TextBytes("<h1>Cover</h1>")});
    records.push_back({GROUP_PAGES, 2, TextBytes("<p>Once upon a time.</p>")});
    records.push_back({GROUP_PAGES, 3, TextBytes("<p>The end.</p>")});
    return records;
}

std::vector<BookRecord> RecordsToDrop()
{
    return {{GROUP_BOOK, 1, Bytes(3, 1)}, {GROUP_BOOK, 19, Bytes(3, 19)}, {500, 1, Bytes(3, 50)},
            {GROUP_PAGES, 9, TextBytes("unlisted")}};
}

void WriteBook(const std::string& path, const Bytes& image, const std::vector<BookRecord>& records)
{
    WriteFileBytes(path, image);
    CUpdateFile book;
    book.Open(path.c_str(), FALSE);
    for (const BookRecord& r : records) {
        auto* group = static_cast<CUpdateDir*>(book.m_root.Find(r.group));
        if (!group)
            group = static_cast<CUpdateDir*>(book.m_root.AddChild(std::make_unique<CUpdateDir>(), r.group));
        auto element = std::make_unique<CUpdateElem>();
        if (!r.data.empty())
            element->SetData(r.data.data(), static_cast<DWORD>(r.data.size()));
        group->AddChild(std::move(element), r.key);
    }
    book.Save();
}

Bytes FakeImage(size_t size)
{
    Bytes image(size);
    for (size_t i = 0; i < size; ++i)
        image[i] = static_cast<std::uint8_t>(i * 7 + 3);
    if (size >= 2) {
        image[0] = 'M';
        image[1] = 'Z';
    }
    return image;
}

std::vector<BookRecord> ReadBookRecords(const std::string& path)
{
    CUpdateFile book;
    book.Open(path.c_str(), TRUE);
    std::vector<BookRecord> records;
    for (const auto& group : book.m_root.GetChildren()) {
        const auto* dir = static_cast<const CUpdateDir*>(group.get());
        for (const auto& element : dir->GetChildren()) {
            const BYTE* data = element->m_pData.get();
            records.push_back({group->m_nKey, element->m_nKey, data ? Bytes(data, data + element->m_nSize) : Bytes()});
        }
    }
    return records;
}

std::vector<BookRecord> Without(std::vector<BookRecord> records, const std::vector<std::pair<int, int>>& keys)
{
    records.erase(std::remove_if(records.begin(), records.end(),
                                 [&](const BookRecord& r) {
                                     return std::find(keys.begin(), keys.end(), std::make_pair(r.group, r.key)) !=
                                            keys.end();
                                 }),
                  records.end());
    return records;
}

bool operator==(const BookRecord& a, const BookRecord& b)
{
    return a.group == b.group && a.key == b.key && a.data == b.data;
}

void PrintTo(const BookRecord& record, std::ostream* os)
{
    *os << "(" << record.group << ", " << record.key << ") " << record.data.size() << " bytes";
}
