// SPDX-License-Identifier: GPL-3.0-or-later
#include "xlsxpackage.h"

#include <cstring>
#include <map>

#include "automation/readlimits.h"
#include "automation/workbook.h"
#include "automation/xmlstream.h"
#include "automation/xstring.h"
#include "automation/ziparchive.h"

namespace automation {
namespace {

bool endsWith(std::string_view text, std::string_view tail)
{
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

bool isTrue(const char* value)
{
    return value && (std::strcmp(value, "1") == 0 || std::strcmp(value, "true") == 0);
}

std::string folderOf(std::string_view part)
{
    const auto slash = part.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(part.substr(0, slash + 1));
}

std::string relsPartOf(std::string_view part)
{
    const auto slash = part.rfind('/');
    const std::string_view file = slash == std::string_view::npos ? part : part.substr(slash + 1);
    return folderOf(part) + "_rels/" + std::string(file) + ".rels";
}

void parsePart(ZipArchive& zip, const std::string& part, XmlHandler& handler, const std::string& where)
{
    XmlStream xml(handler, where + ", часть «" + part + "»");
    zip.read(part, [&](const char* data, std::size_t size) { xml.feed(data, size); });
    xml.finish();
}

struct Relationship {
    std::string type;
    std::string target;
};

class RelationshipsHandler : public XmlHandler {
public:
    std::map<std::string, Relationship> byId;

    void startElement(std::string_view name, const char** attributes) override
    {
        if (name != "Relationship")
            return;
        const char* id = xmlAttribute(attributes, "Id");
        const char* type = xmlAttribute(attributes, "Type");
        const char* target = xmlAttribute(attributes, "Target");
        const char* mode = xmlAttribute(attributes, "TargetMode");
        if (id && type && target && !(mode && std::strcmp(mode, "External") == 0))
            byId[id] = {type, target};
    }
    void endElement(std::string_view) override {}
    void characters(std::string_view) override {}
};

class WorkbookHandler : public XmlHandler {
public:
    struct Sheet {
        std::string name;
        std::string relationshipId;
    };
    std::vector<Sheet> sheets;
    bool recalculateOnLoad = false;
    bool date1904 = false;
    std::string where;

    void startElement(std::string_view name, const char** attributes) override
    {
        if (name == "sheet") {
            if (sheets.size() >= static_cast<std::size_t>(limits::kSheets))
                throw WorkbookError(where + ": слишком много листов (более " + std::to_string(limits::kSheets) + ")");
            const char* sheetName = xmlAttribute(attributes, "name");
            const char* id = xmlAttribute(attributes, "id");
            if (!sheetName || !id)
                throw WorkbookError(where + ": у листа нет имени или ссылки на его данные");
            sheets.push_back({sheetName, id});
        } else if (name == "workbookPr") {
            date1904 = isTrue(xmlAttribute(attributes, "date1904"));
        } else if (name == "calcPr") {
            recalculateOnLoad = isTrue(xmlAttribute(attributes, "fullCalcOnLoad"));
        }
    }
    void endElement(std::string_view) override {}
    void characters(std::string_view) override {}
};

std::map<std::string, Relationship> readRelationships(ZipArchive& zip, std::string_view part, const std::string& where)
{
    RelationshipsHandler handler;
    const std::string rels = relsPartOf(part);
    if (zip.contains(rels))
        parsePart(zip, rels, handler, where);
    return handler.byId;
}

class SharedStringsHandler : public XmlHandler {
public:
    explicit SharedStringsHandler(std::string where) : m_where(std::move(where)) {}
    std::vector<std::string> strings;

    void startElement(std::string_view name, const char**) override
    {
        if (name == "si") {
            m_inItem = true;
            m_text.clear();
        } else if (name == "rPh") {
            ++m_phonetic;
        } else if (name == "t" && m_inItem && m_phonetic == 0) {
            m_inText = true;
        }
    }
    void endElement(std::string_view name) override
    {
        if (name == "si") {
            strings.push_back(decodeXString(m_text));
            m_text.clear();
            m_inItem = false;
        } else if (name == "rPh") {
            --m_phonetic;
        } else if (name == "t") {
            m_inText = false;
        }
    }
    void characters(std::string_view text) override
    {
        if (!m_inText)
            return;
        if (m_text.size() + text.size() > limits::kTextBytes)
            throw WorkbookError(m_where + ": слишком длинный текст в таблице строк");
        m_text.append(text);
    }

private:
    std::string m_where;
    std::string m_text;
    bool m_inItem = false;
    bool m_inText = false;
    int m_phonetic = 0;
};

std::string percentDecoded(std::string_view text)
{
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
            out += static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

std::string resolvePartTarget(std::string_view source, std::string_view target)
{
    const std::string decoded = percentDecoded(target);
    const std::string joined = !decoded.empty() && decoded[0] == '/' ? decoded.substr(1) : folderOf(source) + decoded;
    std::vector<std::string> segments;
    std::size_t start = 0;
    while (start <= joined.size()) {
        const std::size_t slash = std::min(joined.find('/', start), joined.size());
        const std::string segment = joined.substr(start, slash - start);
        if (segment == "..") {
            if (!segments.empty())
                segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = slash + 1;
    }
    std::string out;
    for (const std::string& segment : segments)
        out += (out.empty() ? "" : "/") + segment;
    return out;
}

XlsxPackage XlsxPackage::read(ZipArchive& zip, const std::string& where)
{
    XlsxPackage package;
    for (const auto& [id, relationship] : readRelationships(zip, "", where)) {
        if (endsWith(relationship.type, "/officeDocument"))
            package.workbookPart = resolvePartTarget("", relationship.target);
    }
    if (package.workbookPart.empty())
        package.workbookPart = "xl/workbook.xml";
    if (!zip.contains(package.workbookPart))
        throw WorkbookError(where + ": архив не является книгой (нет части «" + package.workbookPart + "»)");

    WorkbookHandler workbook;
    workbook.where = where;
    parsePart(zip, package.workbookPart, workbook, where);
    package.recalculateOnLoad = workbook.recalculateOnLoad;
    package.date1904 = workbook.date1904;

    const auto relationships = readRelationships(zip, package.workbookPart, where);
    for (const auto& [id, relationship] : relationships) {
        if (endsWith(relationship.type, "/sharedStrings"))
            package.sharedStringsPart = resolvePartTarget(package.workbookPart, relationship.target);
        else if (endsWith(relationship.type, "/styles"))
            package.stylesPart = resolvePartTarget(package.workbookPart, relationship.target);
    }
    for (const auto& sheet : workbook.sheets) {
        const auto found = relationships.find(sheet.relationshipId);
        if (found == relationships.end())
            throw WorkbookError(where + ", лист «" + sheet.name + "»: нет ссылки на данные листа");
        if (!endsWith(found->second.type, "/worksheet"))
            continue;
        XlsxSheetEntry entry{sheet.name, resolvePartTarget(package.workbookPart, found->second.target)};
        if (!zip.contains(entry.part))
            throw WorkbookError(where + ", лист «" + sheet.name + "»: в книге нет данных листа («" + entry.part + "»)");
        package.sheets.push_back(std::move(entry));
    }
    return package;
}

std::vector<std::string> readSharedStrings(ZipArchive& zip, const std::string& part, const std::string& where)
{
    SharedStringsHandler handler(where);
    parsePart(zip, part, handler, where);
    return std::move(handler.strings);
}

} // namespace automation
