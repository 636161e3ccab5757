// append_link_table EXE TAG ADDRESS [TAG ADDRESS]...
// Puts the recommended links behind a built Tomeshift executable, as the build's last step.
#include "platform/exceptions.h"
#include "tools/linktable/link_table_writer.h"

#include <cstdio>

namespace {

constexpr UINT kMessageBufferSize = 256;

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4 || argc % 2 != 0) {
        std::fprintf(stderr, "usage: %s EXE TAG ADDRESS [TAG ADDRESS]...\n", argv[0]);
        return 2;
    }
    std::vector<std::pair<std::string, std::string>> pairs;
    for (int i = 2; i + 1 < argc; i += 2)
        pairs.emplace_back(argv[i], argv[i + 1]);
    try {
        WriteLinkTableTree(argv[1], pairs);
    } catch (CException& e) {
        std::fprintf(stderr, "%s: %s\n", argv[1], e.GetErrorMessageText(kMessageBufferSize).GetString());
        return 1;
    }
    return 0;
}
