#include "cli/report_output.h"

#include "cli/json_writer.h"

#include <sstream>

namespace {

void WriteTreeText(std::ostringstream& out, const CBookReport& r)
{
    if (!r.m_bTrailer) {
        out << "Container: no trailer, so no record tree (base offset " << r.m_nBaseOffset << ")\n";
        return;
    }
    out << "Container: trailer found; tree at offset " << r.m_nBaseOffset << ", " << r.m_nTreeSize << " bytes\n";
    if (r.m_loadError)
        out << "Tree: damaged, loading stopped at offset " << r.m_loadError->m_nOffset << ":\n  "
            << r.m_loadError->m_strText.str() << "\n";
    out << (r.m_loadError ? "Read before the damage:\n" : "Tree:\n");
    for (const CGroupReport& group : r.m_groups) {
        out << "  group " << group.m_nKey << "\n";
        for (const CRecordReport& record : group.m_records)
            out << "    record " << record.m_nKey << ": "
                << (record.m_bDirectory ? std::string("a directory") : std::to_string(record.m_nSize) + " bytes")
                << "\n";
    }
}

void WriteBookText(std::ostringstream& out, const CBookReport& r)
{
    if (r.m_loadError)
        out << "E-book: no, its record tree is damaged\n";
    else if (r.m_problems.empty())
        out << "E-book: yes, it holds every record an upgrade needs\n";
    else
        out << "E-book: no, an upgrade would refuse it:\n";
    for (const CBookProblem& p : r.m_problems)
        out << "  " << p.m_strText.str() << "\n";
    if (!r.m_loadError) {
        out << "Dropped by an upgrade:";
        if (r.m_dropped.empty())
            out << " nothing";
        for (const CRecordKey& k : r.m_dropped)
            out << " " << RecordName(k.m_nGroup, k.m_nKey).str();
        out << "\n";
    }
}

void WriteIconsText(std::ostringstream& out, const CIconReport& icons)
{
    if (!icons.m_bPe32I386) {
        out << "Image: not a PE32 i386 program with a \".rsrc\" section\n";
        return;
    }
    out << "Image: PE32 i386 program with a \".rsrc\" section\n";
    if (!icons.m_bGroupIcon) {
        out << "Group icon 128: cannot be read\n";
    } else {
        out << "Group icon 128:" << (icons.m_entries.empty() ? " no images" : "") << "\n";
        for (const CIconEntryReport& e : icons.m_entries)
            out << "  " << int{e.m_nWidth} << " x " << int{e.m_nHeight} << ", " << int{e.m_nColors} << " colours, "
                << e.m_nBytes << " bytes, id " << e.m_nId << "\n";
    }
    if (icons.TemplateTakesIcons()) {
        out << "Template engine: takes these icon images\n";
        return;
    }
    out << "Template engine: the icon step would fail:\n";
    for (const CString& p : icons.m_problems)
        out << "  " << p.str() << "\n";
}

}  // namespace

std::string FormatReportText(const CBookReport& r)
{
    std::ostringstream out;
    out << "File: " << r.m_strPath.str() << " (" << r.m_nFileSize << " bytes)\n";
    WriteTreeText(out, r);
    WriteBookText(out, r);
    WriteIconsText(out, r.m_icons);
    return out.str();
}

std::string FormatReportJson(const CBookReport& r)
{
    CJsonWriter json;
    json.BeginObject();
    json.String("file", r.m_strPath.str());
    json.Number("size", r.m_nFileSize);

    json.BeginObject("container");
    json.Bool("trailer", r.m_bTrailer);
    json.Number("base_offset", r.m_nBaseOffset);
    json.Number("tree_size", r.m_nTreeSize);
    json.EndObject();

    json.BeginObject("tree");
    json.Bool("loaded", r.m_bTrailer && !r.m_loadError);
    if (r.m_loadError) {
        json.BeginObject("error");
        json.String("text", r.m_loadError->m_strText.str());
        json.Number("offset", r.m_loadError->m_nOffset);
        json.EndObject();
    } else {
        json.Null("error");
    }
    json.BeginArray("groups");
    for (const CGroupReport& group : r.m_groups) {
        json.BeginObject();
        json.Number("key", static_cast<std::uint64_t>(group.m_nKey));
        json.BeginArray("records");
        for (const CRecordReport& record : group.m_records) {
            json.BeginObject();
            json.Number("key", static_cast<std::uint64_t>(record.m_nKey));
            json.Number("size", record.m_nSize);
            json.Bool("directory", record.m_bDirectory);
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();

    json.BeginObject("ebook");
    json.Bool("valid", r.IsEBook());
    json.BeginArray("problems");
    for (const CBookProblem& p : r.m_problems) {
        json.BeginObject();
        json.Number("group", static_cast<std::uint64_t>(p.m_nGroup));
        json.Number("key", static_cast<std::uint64_t>(p.m_nKey));
        json.Bool("missing", p.m_bMissing);
        json.String("text", p.m_strText.str());
        json.EndObject();
    }
    json.EndArray();
    json.BeginArray("dropped");
    for (const CRecordKey& k : r.m_dropped) {
        json.BeginObject();
        json.Number("group", static_cast<std::uint64_t>(k.m_nGroup));
        json.Number("key", static_cast<std::uint64_t>(k.m_nKey));
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();

    const CIconReport& icons = r.m_icons;
    json.BeginObject("image");
    json.Bool("pe32_i386", icons.m_bPe32I386);
    json.Bool("group_icon_128", icons.m_bGroupIcon);
    json.BeginArray("icons");
    for (const CIconEntryReport& e : icons.m_entries) {
        json.BeginObject();
        json.Number("width", e.m_nWidth);
        json.Number("height", e.m_nHeight);
        json.Number("colors", e.m_nColors);
        json.Number("bytes", e.m_nBytes);
        json.Number("id", e.m_nId);
        json.EndObject();
    }
    json.EndArray();
    json.Bool("template_takes_icons", icons.TemplateTakesIcons());
    json.BeginArray("icon_problems");
    for (const CString& p : icons.m_problems)
        json.String(nullptr, p.str());
    json.EndArray();
    json.EndObject();

    json.EndObject();
    return json.Text();
}
