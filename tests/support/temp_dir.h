// A folder of its own for each test, removed with everything in it afterwards.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // name joined to the folder, with the system's separator.
    std::string Path(const std::string& name) const;
    const std::string& Root() const { return m_root; }
    // The names of the files and folders in the folder, sorted.
    std::vector<std::string> FileNames() const;

private:
    std::string m_root;
};

using Bytes = std::vector<std::uint8_t>;

Bytes ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const Bytes& bytes);
bool FileExists(const std::string& path);
