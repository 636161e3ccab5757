#include "fuzz/fuzz_entries.h"

#include "fuzz/scratch_file.h"
#include "patch/book_catalogue.h"
#include "patch/icon_transfer.h"
#include "patch/record_transfer.h"
#include "platform/exceptions.h"
#include "platform/message_box.h"
#include "store/container_file.h"
#include "ui/link_table.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Reports are expected outcomes here; nobody is there to read them.
void SilenceMessages()
{
    static const bool silenced = [] {
        SetMessageBoxSink([](LPCTSTR, UINT) { return IDOK; });
        return true;
    }();
    (void)silenced;
}

// A small engine image for the transfer to write into: the bytes do not matter to it.
const std::vector<BYTE>& EngineImage()
{
    static const std::vector<BYTE> image = [] {
        std::vector<BYTE> bytes(512, 0xCC);
        bytes[0] = 'M';
        bytes[1] = 'Z';
        return bytes;
    }();
    return image;
}

// Touches every byte of every record, so a blob that is shorter than its size shows.
unsigned VisitTree(const CUpdateFile& file)
{
    unsigned sum = 0;
    for (const auto& group : file.m_root.GetChildren()) {
        const auto* dir = dynamic_cast<const CUpdateDir*>(group.get());
        if (dir == nullptr)
            continue;
        for (const auto& record : dir->GetChildren()) {
            const CUpdateElem* found = file.GetRecord(group->m_nKey, record->m_nKey);
            if (found == nullptr)
                __builtin_trap();  // a record in the tree that lookup cannot find
            for (DWORD i = 0; i < found->m_nSize; ++i)
                sum += found->m_pData[i];
        }
    }
    return sum;
}

}  // namespace

void FuzzContainerLoad(const std::uint8_t* data, std::size_t size)
{
    const std::string path = ScratchPath("container.exe");
    WriteScratch(path, data, size);
    CUpdateFile file;
    try {
        file.Open(path.c_str(), TRUE);
    } catch (CException&) {
        // A refused file still leaves the groups read completely: those are walked too.
    }
    volatile unsigned sink = VisitTree(file);
    (void)sink;
}

void FuzzRecordTransfer(const std::uint8_t* data, std::size_t size)
{
    SilenceMessages();
    const std::string source = ScratchPath("old.exe");
    const std::string destination = ScratchPath("new.exe");
    WriteScratch(source, data, size);
    WriteScratch(destination, EngineImage().data(), EngineImage().size());
    CContentCopier copier;
    try {
        copier.CopyContent(source.c_str(), destination.c_str());
    } catch (CException&) {
        // A damaged tree or a failed save passes through by design.
    }
}

void FuzzIconTransfer(const std::uint8_t* data, std::size_t size)
{
    SilenceMessages();
    if (size < 2)
        return;
    const std::size_t wanted = static_cast<std::size_t>(data[0] | data[1] << 8);
    const std::size_t sourceSize = std::min(wanted, size - 2);
    const std::string source = ScratchPath("icons-old.exe");
    const std::string destination = ScratchPath("icons-new.exe");
    WriteScratch(source, data + 2, sourceSize);
    WriteScratch(destination, data + 2 + sourceSize, size - 2 - sourceSize);
    CIconPatcher patcher;
    patcher.PatchIcons(source.c_str(), destination.c_str());
}

void FuzzLinkTable(const std::uint8_t* data, std::size_t size)
{
    if (size > 0xFFFFFFFF)
        return;
    CString urls[kLinkCount];
    WalkLinkTable(data, static_cast<DWORD>(size),
                  [&](const CString& tag, const CString& address) { SetLinkSlot(urls, tag, address); });
}

void FuzzPageIndex(const std::uint8_t* data, std::size_t size)
{
    if (size > 0xFFFFFFFF)
        return;
    std::vector<CPageIndexEntry> entries;
    ReadPageIndex(data, static_cast<DWORD>(size), entries);
    for (const CPageIndexEntry& entry : entries) {
        if (entry.m_nOffset >= size)
            __builtin_trap();  // an entry said to start outside the record
    }
}

FuzzEntry FindFuzzEntry(const char* name)
{
    static const struct {
        const char* name;
        FuzzEntry entry;
    } kEntries[] = {{"container", FuzzContainerLoad},
                    {"record_transfer", FuzzRecordTransfer},
                    {"icon_transfer", FuzzIconTransfer},
                    {"link_table", FuzzLinkTable},
                    {"page_index", FuzzPageIndex}};
    for (const auto& e : kEntries) {
        if (std::strcmp(e.name, name) == 0)
            return e.entry;
    }
    return nullptr;
}
