#include "bench/bench_books.h"

#include "platform/file.h"
#include "res/template_bytes.h"
#include "tools/samplegen/sample_book.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>

namespace {

class CTempFolder {
public:
    CTempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tomeshift-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary folder");
        m_strPath = pattern;
    }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;
    ~CTempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_strPath, ignored);
    }

    std::string m_strPath;
};

std::map<int, std::string>& Books()
{
    static std::map<int, std::string> books;
    return books;
}

}  // namespace

const std::string& BenchFolder()
{
    static const CTempFolder folder;
    return folder.m_strPath;
}

std::string BenchPath(const std::string& name) { return BenchFolder() + "/" + name; }

const std::string& BenchBook(int pages)
{
    auto& books = Books();
    const auto known = books.find(pages);
    if (known != books.end())
        return known->second;
    const std::string path = BenchPath("book-" + std::to_string(pages) + ".exe");
    CSampleOptions options;
    options.m_nPages = pages;
    options.m_nPageSize = kBenchPageSize;
    WriteSampleBook(path.c_str(), kTemplateEngine, static_cast<DWORD>(kTemplateEngineSize), options);
    return books.emplace(pages, path).first->second;
}

DWORD BenchBookSize(int pages)
{
    CFile file(BenchBook(pages).c_str(), CFile::modeRead | CFile::shareDenyNone);
    return file.GetLength();
}

void WriteEngineFile(const std::string& path)
{
    CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
    file.Write(kTemplateEngine, static_cast<UINT>(kTemplateEngineSize));
    file.Close();
}

void CopyWholeFile(const std::string& from, const std::string& to)
{
    CFile source(from.c_str(), CFile::modeRead | CFile::shareDenyNone);
    const DWORD size = source.GetLength();
    std::vector<BYTE> bytes(size);
    source.Read(bytes.data(), size);
    CFile target(to.c_str(), CFile::modeCreate | CFile::modeWrite);
    target.Write(bytes.data(), size);
    target.Close();
}
