// SPDX-License-Identifier: GPL-3.0-or-later
#include "odsworkbook.h"

#include "automation/readmessages.h"
#include "automation/xmlstream.h"
#include "automation/ziparchive.h"

namespace automation {
namespace {

// Parses one part only to check it (size, DTD).
class IgnoreAll : public XmlHandler {
public:
    void startElement(std::string_view, const char**) override {}
    void endElement(std::string_view) override {}
    void characters(std::string_view) override {}
};

void parse(ZipArchive& zip, const std::string& part, XmlHandler& handler, const std::string& where)
{
    XmlStream xml(handler, where + ", часть «" + part + "»");
    zip.read(part, [&](const char* data, std::size_t size) { xml.feed(data, size); });
    xml.finish();
}

} // namespace

OdsWorkbook::OdsWorkbook(std::string_view bytes, std::filesystem::path path) : m_path(std::move(path))
{
    const std::string where = fileLabel(m_path);
    ZipArchive zip(bytes, where);
    if (!zip.contains("content.xml"))
        throw WorkbookError(where + ": в книге нет части «content.xml»");
    OdsContentReader content(m_path);
    parse(zip, "content.xml", content, where);
    for (const char* part : {"styles.xml", "meta.xml", "settings.xml"}) {
        IgnoreAll ignore;
        if (zip.contains(part))
            parse(zip, part, ignore, where);
    }
    m_sheets = content.takeSheets();
}

int OdsWorkbook::sheetCount() const
{
    return static_cast<int>(m_sheets.size());
}

const OdsContentReader::Sheet& OdsWorkbook::sheet(int index) const
{
    if (index < 1 || index > sheetCount())
        throw WorkbookError(fileLabel(m_path) + ": нет листа с номером " + std::to_string(index));
    return m_sheets[static_cast<std::size_t>(index - 1)];
}

std::string OdsWorkbook::sheetName(int index) const
{
    return sheet(index).name;
}

CellArray OdsWorkbook::usedRange(int index) const
{
    const OdsContentReader::Sheet& s = sheet(index);
    if (!s.error.empty())
        throw WorkbookError(s.error);
    return s.cells.build();
}

} // namespace automation
