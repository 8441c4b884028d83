// SPDX-License-Identifier: GPL-3.0-or-later
#include "odsworkbook.h"

#include <cstdlib>

#include "automation/readlimits.h"
#include "automation/readmessages.h"
#include "automation/xmlstream.h"
#include "automation/ziparchive.h"

namespace automation {
namespace {

// Cells a sheet may spell out, repeats counted: far more than any workbook of ours, far less
// than what would keep orcus busy for minutes.
constexpr std::uint64_t kExpandedCells = 20'000'000;

long repeatCount(const char** attributes, std::string_view name)
{
    const char* value = xmlAttribute(attributes, name);
    if (!value)
        return 1;
    const long n = std::strtol(value, nullptr, 10);
    return n < 1 ? 1 : n > limits::kMaxSheetRow ? limits::kMaxSheetRow : n;
}

// Walks content.xml once before orcus: per table, what orcus would not read faithfully.
class ContentCheck : public XmlHandler {
public:
    explicit ContentCheck(std::string where) : m_where(std::move(where)) {}

    std::vector<std::string> problems;  // per table, "" when none

    void startElement(std::string_view name, const char** attributes) override
    {
        if (name == "table") {
            problems.emplace_back();
        } else if (name == "table-row") {
            m_rowRepeat = static_cast<std::uint64_t>(repeatCount(attributes, "number-rows-repeated"));
        } else if ((name == "table-cell" || name == "covered-table-cell") && !problems.empty()) {
            const char* type = xmlAttribute(attributes, "value-type");
            if (!type)
                return;
            m_cells += m_rowRepeat * static_cast<std::uint64_t>(repeatCount(attributes, "number-columns-repeated"));
            if (m_cells > kExpandedCells)
                throw WorkbookError(m_where + ": в книге слишком много ячеек");
            if (std::string_view(type) == "percentage" && problems.back().empty())
                problems.back() = "ячейки в процентном формате не читаются; уберите у них процентный формат";
        }
    }
    void endElement(std::string_view) override {}
    void characters(std::string_view) override {}

private:
    std::string m_where;
    std::uint64_t m_rowRepeat = 1;
    std::uint64_t m_cells = 0;
};

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

}  // namespace

OdsWorkbook::OdsWorkbook(std::string_view bytes, std::filesystem::path path) : m_path(std::move(path))
{
    const std::string where = fileLabel(m_path);
    ContentCheck check(where);
    {
        ZipArchive zip(bytes, where);
        zip.checkDeclaredSizes();
        if (!zip.contains("content.xml"))
            throw WorkbookError(where + ": в книге нет части «content.xml»");
        parse(zip, "content.xml", check, where);
        for (const char* part : {"styles.xml", "meta.xml", "settings.xml"}) {
            IgnoreAll ignore;
            if (zip.contains(part))
                parse(zip, part, ignore, where);
        }
    }
    OdsCellCollector collector(where);
    collector.read(bytes);
    m_sheets = collector.takeSheets();
    // The check and orcus see the same tables; should they ever disagree, no sheet is trusted.
    for (std::size_t i = 0; i < m_sheets.size(); ++i) {
        const std::string problem = check.problems.size() == m_sheets.size() ? check.problems[i]
                                                                             : "разметка листов книги не распознана";
        if (m_sheets[i].error.empty() && !problem.empty())
            m_sheets[i].error = sheetLabel(m_path, m_sheets[i].name) + ": " + problem;
    }
}

int OdsWorkbook::sheetCount() const { return static_cast<int>(m_sheets.size()); }

const OdsCellCollector::Sheet& OdsWorkbook::sheet(int index) const
{
    if (index < 1 || index > sheetCount())
        throw WorkbookError(fileLabel(m_path) + ": нет листа с номером " + std::to_string(index));
    return m_sheets[static_cast<std::size_t>(index - 1)];
}

std::string OdsWorkbook::sheetName(int index) const { return sheet(index).name; }

CellArray OdsWorkbook::usedRange(int index) const
{
    const OdsCellCollector::Sheet& s = sheet(index);
    if (!s.error.empty())
        throw WorkbookError(s.error);
    return s.cells;
}

}  // namespace automation
