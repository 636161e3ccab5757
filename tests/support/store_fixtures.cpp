#include "tests/support/store_fixtures.h"

#include "platform/file.h"
#include "platform/os_file.h"
#include "store/archive.h"

#include <numeric>
#include <sstream>
#include <stdexcept>

StreamBuilder& StreamBuilder::Word(std::uint32_t value)
{
    m_bytes.push_back(static_cast<std::uint8_t>(value));
    m_bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    return *this;
}

StreamBuilder& StreamBuilder::Dword(std::uint32_t value)
{
    return Word(value & 0xFFFF).Word(value >> 16);
}

StreamBuilder& StreamBuilder::Text(const std::string& text)
{
    m_bytes.insert(m_bytes.end(), text.begin(), text.end());
    return *this;
}

StreamBuilder& StreamBuilder::Append(const Bytes& bytes)
{
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
}

StreamBuilder& StreamBuilder::NewClass(const std::string& name, std::uint32_t schema)
{
    return Word(0xFFFF).Word(schema).Word(static_cast<std::uint32_t>(name.size())).Text(name);
}

Bytes Blob(std::size_t size, std::uint8_t seed)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(seed * 31 + i * 7 + 1);
    return bytes;
}

Bytes Image(std::size_t size)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i % 251);
    if (size >= 2 && bytes[size - 2] == 0x4B && bytes[size - 1] == 0x47)
        bytes[size - 1] = 0;
    return bytes;
}

Bytes Trailer(std::uint32_t baseOffset)
{
    return StreamBuilder().Dword(baseOffset).Word(0x474B);
}

Bytes Concat(const Bytes& a, const Bytes& b)
{
    Bytes all = a;
    all.insert(all.end(), b.begin(), b.end());
    return all;
}

Bytes ContainerBytes(const Bytes& image, const Bytes& tree)
{
    return Concat(Concat(image, tree), Trailer(static_cast<std::uint32_t>(image.size())));
}

CUpdateDir& AddGroup(CUpdateDir& dir, int key)
{
    return static_cast<CUpdateDir&>(*dir.AddChild(std::make_unique<CUpdateDir>(), key));
}

CUpdateElem& AddRecord(CUpdateDir& dir, int key, const Bytes& blob)
{
    CUpdateElem& record = *dir.AddChild(std::make_unique<CUpdateElem>(), key);
    record.SetData(blob.data(), static_cast<DWORD>(blob.size()));
    return record;
}

Bytes RecordBytes(const CUpdateElem& record)
{
    return record.m_pData ? Bytes(record.m_pData.get(), record.m_pData.get() + record.m_nSize) : Bytes();
}

std::string DumpTree(const CUpdateElem& record)
{
    std::ostringstream out;
    if (const auto* dir = dynamic_cast<const CUpdateDir*>(&record)) {
        out << "dir " << dir->m_nKey << " {";
        const char* separator = "";
        for (const auto& child : dir->GetChildren()) {
            out << separator << DumpTree(*child);
            separator = ", ";
        }
        out << "}";
        return out.str();
    }
    const Bytes blob = RecordBytes(record);
    out << "elem " << record.m_nKey << " [" << record.m_nSize << " bytes, "
        << (record.m_pData ? "sum " + std::to_string(std::accumulate(blob.begin(), blob.end(), 0u)) : "no buffer")
        << "]";
    return out.str();
}

Bytes StoreStream(const std::function<void(CArchive&)>& write, int bufferSize)
{
    TempDir dir;
    const std::string path = dir.Path("stored.bin");
    WriteFileBytes(path, {});
    {
        CFile file(path.c_str(), CFile::modeReadWrite | CFile::shareExclusive);
        CArchive ar(&file, CArchive::store, bufferSize);
        write(ar);
        ar.Close();
    }
    return ReadFileBytes(path);
}

void LoadStream(const Bytes& stream, const std::string& path, const std::function<void(CArchive&)>& read,
                int bufferSize)
{
    WriteFileBytes(path, stream);
    CFile file(path.c_str(), CFile::modeRead | CFile::shareDenyNone);
    CArchive ar(&file, CArchive::load, bufferSize);
    read(ar);
    ar.Close();
}

Bytes StoreBody(CObject& object, int bufferSize)
{
    return StoreStream([&](CArchive& ar) { object.Serialize(ar); }, bufferSize);
}

void LoadBody(CObject& object, const Bytes& stream, const std::string& path, int bufferSize)
{
    LoadStream(stream, path, [&](CArchive& ar) { object.Serialize(ar); }, bufferSize);
}

void LoadBody(CObject& object, const Bytes& stream, int bufferSize)
{
    TempDir dir;
    LoadBody(object, stream, dir.Path("loaded.bin"), bufferSize);
}

std::string FullPath(const std::string& path)
{
    std::string full;
    if (os::FullPath(path.c_str(), &full) != 0)
        throw std::runtime_error("no full path for " + path);
    return full;
}

Bytes ExampleBlob(int key)
{
    switch (key) {
    case 14: return Blob(6, 14);
    case 17: return Blob(223, 17);
    case 18: return Blob(6, 18);
    default: throw std::invalid_argument("the example has records 14, 17 and 18");
    }
}

void BuildExampleTree(CUpdateDir& root)
{
    CUpdateDir& group = AddGroup(root, 350);
    for (const int key : {14, 17, 18})
        AddRecord(group, key, ExampleBlob(key));
}

Bytes ExampleTreeBytes()
{
    return StreamBuilder()
        .Word(0).Word(1)                                             // root: key 0, one group
        .NewClass("CUpdateDir").Word(350).Word(3)                    // group 350, three records
        .NewClass("CUpdateElem").Word(14).Dword(6).Append(ExampleBlob(14))
        .Word(0x8003).Word(17).Dword(223).Append(ExampleBlob(17))
        .Word(0x8003).Word(18).Dword(6).Append(ExampleBlob(18))
        .bytes();
}
