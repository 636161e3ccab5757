#include "cli/icon_report.h"

#include "patch/icon_transfer.h"

#include <string>

namespace {

// The icon step's own walks, read-only: where the patch would look, the inspector looks.
class CIconInspector : public CIconPatcher {
public:
    CIconReport Inspect(const CString& path, const CString& templatePath)
    {
        CIconReport report;
        CFile book(path, CFile::modeRead | CFile::shareDenyWrite);
        DWORD offset = 0;
        DWORD address = 0;
        report.m_bPe32I386 = LocateResourceSection(book, offset, address);
        if (!report.m_bPe32I386) {
            report.m_problems.push_back("the book is no PE32 i386 program with a \".rsrc\" section");
            return report;
        }
        std::vector<pe::GRPICONDIRENTRY> entries;
        report.m_bGroupIcon = ReadGroupIconEntries(book, offset, address, entries);
        if (!report.m_bGroupIcon) {
            report.m_problems.push_back("the book's group icon 128 cannot be read");
            return report;
        }
        for (const pe::GRPICONDIRENTRY& e : entries)
            report.m_entries.push_back({e.bWidth, e.bHeight, e.bColorCount, e.dwBytesInRes, e.nID});

        pe::GRPICONDIRENTRY entry32{};
        pe::GRPICONDIRENTRY entry16{};
        ReadGroupIcon(book, offset, address, entry32, entry16);
        CFile engine(templatePath, CFile::modeRead | CFile::shareDenyWrite);
        DWORD engineOffset = 0;
        DWORD engineAddress = 0;
        if (!LocateResourceSection(engine, engineOffset, engineAddress)) {
            report.m_problems.push_back("the template engine has no resource section");
            return report;
        }
        for (const pe::GRPICONDIRENTRY& entry : {entry32, entry16}) {
            if (entry.dwBytesInRes == 0)
                continue;
            const std::string image = std::to_string(entry.bWidth) + "-pixel image, id " + std::to_string(entry.nID);
            DWORD bookSize = 0;
            DWORD engineSize = 0;
            if (!SeekIconImage(book, offset, address, entry, bookSize))
                report.m_problems.push_back(CString("the book's " + image + " cannot be read"));
            else if (!SeekIconImage(engine, engineOffset, engineAddress, entry, engineSize))
                report.m_problems.push_back(CString("the template engine has no single-language " + image));
            else if (entry.dwBytesInRes > engineSize)
                report.m_problems.push_back(CString("the book's " + image + " (" + std::to_string(entry.dwBytesInRes) +
                                                    " bytes) is larger than the template's (" +
                                                    std::to_string(engineSize) + " bytes)"));
        }
        return report;
    }
};

}  // namespace

CIconReport InspectIcons(const CString& path, const CString& templatePath)
{
    return CIconInspector().Inspect(path, templatePath);
}
