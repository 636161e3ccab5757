// Builders of record trees, archived streams and container files for tests. Expected
// streams are written out by hand with StreamBuilder, never taken from the writer under test.
#pragma once

#include "store/record_tree.h"
#include "tests/support/temp_dir.h"

#include <cstdint>
#include <functional>
#include <string>

// A little-endian byte stream, one field at a time.
class StreamBuilder {
public:
    StreamBuilder& Word(std::uint32_t value);  // the low 16 bits
    StreamBuilder& Dword(std::uint32_t value);
    StreamBuilder& Text(const std::string& text);  // the bytes, no NUL
    StreamBuilder& Append(const Bytes& bytes);
    // The new-class tag 0xFFFF, the schema, the name's length and the name.
    StreamBuilder& NewClass(const std::string& name, std::uint32_t schema = 1);

    const Bytes& bytes() const { return m_bytes; }
    operator const Bytes&() const { return m_bytes; }  // NOLINT: a builder stands for its bytes

private:
    Bytes m_bytes;
};

// size bytes that differ from record to record (seed) and from byte to byte.
Bytes Blob(std::size_t size, std::uint8_t seed);
// An executable image stand-in of size bytes; it never ends in the trailer magic.
Bytes Image(std::size_t size);
// The 6-byte trailer: the base offset, then "KG".
Bytes Trailer(std::uint32_t baseOffset);
// image, then tree, then a trailer that points at the tree.
Bytes ContainerBytes(const Bytes& image, const Bytes& tree);
Bytes Concat(const Bytes& a, const Bytes& b);

CUpdateDir& AddGroup(CUpdateDir& dir, int key);
CUpdateElem& AddRecord(CUpdateDir& dir, int key, const Bytes& blob);
Bytes RecordBytes(const CUpdateElem& record);
// A readable picture of a tree: "dir 0 {dir 350 {elem 14 [6 bytes, sum 21]}}".
std::string DumpTree(const CUpdateElem& record);

// The bytes that write puts through a storing archive with the given buffer size.
Bytes StoreStream(const std::function<void(CArchive&)>& write, int bufferSize = 4096);
// Writes stream to the file path and runs read on a loading archive over it; raises
// whatever the archive raises.
void LoadStream(const Bytes& stream, const std::string& path, const std::function<void(CArchive&)>& read,
                int bufferSize = 4096);

// The same for one object's body (Serialize); without a path, a scratch file is used.
Bytes StoreBody(CObject& object, int bufferSize = 4096);
void LoadBody(CObject& object, const Bytes& stream, int bufferSize = 4096);
void LoadBody(CObject& object, const Bytes& stream, const std::string& path, int bufferSize = 4096);

// The full path that a file's errors carry.
std::string FullPath(const std::string& path);

// The tree that travels behind the tool itself: group 350 with records 14 (6 bytes),
// 17 (223 bytes) and 18 (6 bytes), stored at base offset 540672.
constexpr std::uint32_t kExampleBaseOffset = 540672;
Bytes ExampleBlob(int key);
void BuildExampleTree(CUpdateDir& root);
// Its 298 archived bytes.
Bytes ExampleTreeBytes();
