// SPDX-License-Identifier: GPL-3.0-or-later
#include "xlsxstyles.h"

#include <charconv>
#include <cstring>
#include <map>

#include "automation/xmlstream.h"
#include "automation/ziparchive.h"

namespace automation {
namespace {

unsigned formatId(const char* text)
{
    unsigned id = 0;
    if (text)
        std::from_chars(text, text + std::strlen(text), id);
    return id;
}

class StylesHandler : public XmlHandler {
public:
    std::map<unsigned, NumberKind> codes;
    std::vector<unsigned> xfFormats;

    void startElement(std::string_view name, const char** attributes) override
    {
        if (name == "numFmt") {
            const char* code = xmlAttribute(attributes, "formatCode");
            codes[formatId(xmlAttribute(attributes, "numFmtId"))] = formatCodeKind(code ? code : "");
        } else if (name == "cellXfs") {
            m_inCellXfs = true;
        } else if (name == "xf" && m_inCellXfs) {
            xfFormats.push_back(formatId(xmlAttribute(attributes, "numFmtId")));
        }
    }
    void endElement(std::string_view name) override
    {
        if (name == "cellXfs")
            m_inCellXfs = false;
    }
    void characters(std::string_view) override {}

private:
    bool m_inCellXfs = false; // cellStyleXfs holds xf elements too, which cells do not index
};

} // namespace

std::vector<NumberKind> readXlsxCellKinds(ZipArchive& zip, const std::string& part, const std::string& where)
{
    StylesHandler handler;
    XmlStream xml(handler, where + ", часть «" + part + "»");
    zip.read(part, [&](const char* data, std::size_t size) { xml.feed(data, size); });
    xml.finish();
    std::vector<NumberKind> kinds;
    kinds.reserve(handler.xfFormats.size());
    for (unsigned id : handler.xfFormats) {
        const auto found = handler.codes.find(id);
        kinds.push_back(found != handler.codes.end() ? found->second : builtInFormatKind(id));
    }
    return kinds;
}

} // namespace automation
