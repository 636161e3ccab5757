#include "tools/samplegen/sample_book.h"

#include "platform/exceptions.h"
#include "platform/file.h"
#include "store/container_file.h"
#include "store/record_keys.h"
#include "tools/samplegen/sample_text.h"

#include <algorithm>
#include <string>

namespace {

constexpr int kGroupDropped = 500;  // a group that no e-book reader knows
constexpr int kFirstPageId = 101;
constexpr int kUnlistedPageId = 999;

std::vector<BYTE> Text(const std::string& text) { return std::vector<BYTE>(text.begin(), text.end()); }

void AppendDword(std::vector<BYTE>& out, DWORD value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<BYTE>(value >> shift));
}

// Text of the given size: the text repeated, cut at size; the text itself for size 0.
std::vector<BYTE> Sized(const std::string& text, DWORD size)
{
    if (size == 0)
        return Text(text);
    std::vector<BYTE> out;
    out.reserve(size);
    while (out.size() < size)
        out.push_back(static_cast<BYTE>(text[out.size() % text.size()]));
    return out;
}

std::vector<BYTE> PageIndex(int pages)
{
    std::vector<BYTE> index;
    for (int i = 0; i < pages; ++i) {
        const std::string name = SamplePageName(i);
        index.insert(index.end(), name.begin(), name.end());
        index.push_back(0);
        AppendDword(index, static_cast<DWORD>(kFirstPageId + i));
        // Twelve bytes the viewer keeps for itself: the page's place and two empty fields.
        AppendDword(index, static_cast<DWORD>(i));
        AppendDword(index, 0);
        AppendDword(index, 0);
    }
    return index;
}

std::vector<BYTE> Settings(DWORD size)
{
    std::vector<BYTE> settings = Text("Moving House: a guide to upgrading e-books");
    settings.resize(size, 0);
    return settings;
}

std::vector<BYTE> LinkTable()
{
    static const char* const kPairs[][2] = {
        {"<%BESTSELLING%>", "https://tomeshift.example/best-selling"},
        {"<%COVERGRAPHICS%>", "https://tomeshift.example/cover-graphics"},
        {"<%MORETRAFFIC%>", "https://tomeshift.example/more-traffic"},
        {"<%MARKETING%>", "https://tomeshift.example/marketing"},
    };
    std::vector<BYTE> table;
    for (const auto& pair : kPairs)
        for (const char* text : pair)
            table.insert(table.end(), text, text + std::char_traits<char>::length(text) + 1);
    return table;
}

}  // namespace

std::vector<CSampleRecord> MakeSampleCatalogue(const CSampleOptions& options)
{
    std::vector<CSampleRecord> records;
    for (int key = 1; key <= 19; ++key) {
        std::vector<BYTE> data;
        switch (key) {
        case REC_PAGE_INDEX: data = PageIndex(options.m_nPages); break;
        case REC_SETTINGS: data = Settings(options.m_nSettingsSize); break;
        case REC_LINK_TABLE: data = LinkTable(); break;
        default: data = Text("book record " + std::to_string(key)); break;
        }
        records.push_back({GROUP_BOOK, key, std::move(data)});
    }
    for (int i = 0; i < options.m_nPages; ++i)
        records.push_back({GROUP_PAGES, kFirstPageId + i, Sized(SamplePageText(i), options.m_nPageSize)});
    records.push_back({GROUP_PAGES, kUnlistedPageId, Text("A page that no index lists.\n")});
    records.push_back({kGroupDropped, 1, Text("a record of a group unknown to e-books")});

    // An empty record is left out as well: the store keeps no record without bytes.
    const auto omitted = [&](const CSampleRecord& record) {
        return record.m_data.empty() ||
               std::find(options.m_omit.begin(), options.m_omit.end(),
                         std::make_pair(record.m_nGroup, record.m_nKey)) != options.m_omit.end();
    };
    records.erase(std::remove_if(records.begin(), records.end(), omitted), records.end());
    return records;
}

void WriteSampleBook(LPCTSTR path, const BYTE* engine, DWORD size, const CSampleOptions& options)
{
    // A tree already behind the image would be loaded and added to, not replaced.
    if (size >= CUpdateFile::kTrailerSize && engine[size - 2] == 0x4B && engine[size - 1] == 0x47)
        AfxThrowFileException(CFileException::genericException, -1, path);
    {
        CFile image(path, CFile::modeCreate | CFile::modeWrite);
        image.Write(engine, size);
    }
    if (options.m_bNoTrailer)
        return;

    CUpdateFile book;
    book.Open(path, FALSE);
    for (const CSampleRecord& record : MakeSampleCatalogue(options))
        book.SetRecord(record.m_nGroup, record.m_nKey, record.m_data.data(), static_cast<DWORD>(record.m_data.size()));
    book.Save();
}
