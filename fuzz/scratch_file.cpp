#include "fuzz/scratch_file.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include <unistd.h>

namespace {

class ScratchFolder {
public:
    ScratchFolder()
        : m_path(std::filesystem::temp_directory_path() / ("tomeshift-fuzz-" + std::to_string(getpid())))
    {
        std::filesystem::create_directories(m_path);
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

}  // namespace

std::string ScratchPath(const char* name)
{
    static const ScratchFolder folder;
    return (folder.Path() / name).string();
}

void WriteScratch(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out)
        throw std::runtime_error("cannot write scratch file " + path);
}
