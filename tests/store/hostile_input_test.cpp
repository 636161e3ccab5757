// Hostile containers opened as a whole file: counts and references that a careless loader
// would trust, and trailers that point into themselves. Each must end in its own error.
#include "platform/exceptions.h"
#include "store/container_file.h"
#include "tests/support/catch_exception.h"
#include "tests/support/store_fixtures.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct HostileContainer {
    const char* what;
    Bytes file;
    int cause;  // the CArchiveException cause
};

std::vector<HostileContainer> HostileContainers()
{
    // Behind a huge count, the loader reads on into the trailer, whose base offset (10) is
    // then taken as a reference to an index never given out: nothing is allocated ahead.
    std::vector<HostileContainer> cases = {
        {"root count 0xFFFFFFFF with one group behind it",
         ContainerBytes(Image(10), StreamBuilder().Word(0).Word(0xFFFF).Dword(0xFFFFFFFF)
                                       .NewClass("CUpdateDir").Word(350).Word(0)),
         CArchiveException::badIndex},
        {"group count 0xFFFFFFFF with one record behind it",
         ContainerBytes(Image(10), StreamBuilder().Word(0).Word(1).NewClass("CUpdateDir").Word(350).Word(0xFFFF)
                                       .Dword(0xFFFFFFFF).NewClass("CUpdateElem").Word(1).Dword(0)),
         CArchiveException::badIndex},
        {"blob size 0xFFFFFFFF",
         ContainerBytes(Image(10), StreamBuilder().Word(0).Word(1).NewClass("CUpdateDir").Word(350).Word(1)
                                       .NewClass("CUpdateElem").Word(1).Dword(0xFFFFFFFF)),
         CArchiveException::endOfFile},
        {"a group listing itself as its child",
         ContainerBytes(Image(10), StreamBuilder().Word(0).Word(1).NewClass("CUpdateDir").Word(350).Word(1).Word(0x0002)),
         CArchiveException::badIndex},
        {"a nested directory listing its parent",
         ContainerBytes(Image(10), StreamBuilder().Word(0).Word(1).NewClass("CUpdateDir").Word(350).Word(1)
                                       .Word(0x8001).Word(7).Word(1).Word(0x0002)),
         CArchiveException::badIndex},
        {"a class tag naming the class index being defined next",
         ContainerBytes(Image(10), StreamBuilder().Word(0).Word(1).Word(0x8003)), CArchiveException::badIndex},
    };
    // Directories nested 100,000 deep: refused at the depth limit, long before the stack ends.
    StreamBuilder deep;
    deep.Word(0).Word(1).NewClass("CUpdateDir").Word(1).Word(1);
    for (int level = 2; level <= 100000; ++level)
        deep.Word(0x8001).Word(static_cast<std::uint32_t>(level)).Word(1);
    cases.push_back({"directories nested 100,000 deep", ContainerBytes(Image(10), deep), CArchiveException::badIndex});
    // A trailer whose base offset points into the trailer itself: its own bytes read as a tree.
    for (std::uint32_t base = 101; base < 106; ++base)
        cases.push_back({"base offset inside the trailer", Concat(Image(100), Trailer(base)), CArchiveException::endOfFile});
    return cases;
}

TEST(HostileContainer, EachEndsInItsOwnArchiveError)
{
    TempDir dir;
    const std::string path = dir.Path("hostile.exe");
    for (const HostileContainer& c : HostileContainers()) {
        SCOPED_TRACE(std::string(c.what) + ", " + std::to_string(c.file.size()) + " bytes");
        WriteFileBytes(path, c.file);
        CUpdateFile container;
        const CArchiveException e = CatchException<CArchiveException>([&] { container.Open(path.c_str(), TRUE); });
        EXPECT_EQ(e.m_cause, c.cause);
        // What the user is shown: the end of the file comes without a name, the rest with it.
        const std::string text = c.cause == CArchiveException::endOfFile
                                     ? "An attempt was made to access an unnamed file past its end."
                                     : FullPath(path) + " has a bad format.";
        EXPECT_EQ(e.GetErrorMessageText(256).str(), text);
    }
}

}  // namespace
