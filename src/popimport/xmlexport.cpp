// SPDX-License-Identifier: GPL-3.0-or-later
#include "xmlexport.h"

#include <expat.h>

#include <climits>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "popimport/locusnames.h"
#include "popimport/tablebuilder.h"

namespace popimport {
namespace {

struct Frequency {
    std::string allele;
    std::string value;
    int line = 0;
};

struct OriginData {
    std::string name;
    std::string n;
    std::vector<Frequency> frequencies;
    int line = 0;
};

struct Marker {
    std::string name;
    int line = 0;
    std::vector<OriginData> origins;
};

// Collects the markers while expat walks the file; element paths are checked loosely (a field
// the export adds later does no harm).
struct Collector {
    XML_Parser parser = nullptr;
    std::vector<std::string> path;
    std::vector<Marker> markers;
    std::string textBuffer;
    bool sawRoot = false;

    int line() const { return static_cast<int>(XML_GetCurrentLineNumber(parser)); }

    static std::string attribute(const XML_Char** attributes, std::string_view name)
    {
        for (int i = 0; attributes[i]; i += 2) {
            if (name == attributes[i])
                return attributes[i + 1];
        }
        return {};
    }

    void start(const char* name, const XML_Char** attributes)
    {
        const std::string element = name;
        if (path.empty())
            sawRoot = element == "frequencies";
        if (element == "marker" && path.size() == 1)
            markers.push_back({{}, line(), {}});
        else if (element == "origin" && !markers.empty() && path.size() == 2)
            markers.back().origins.push_back({attribute(attributes, "name"), attribute(attributes, "n"), {}, line()});
        else if (element == "frequency" && !markers.empty() && !markers.back().origins.empty() && path.size() == 3)
            markers.back().origins.back().frequencies.push_back({attribute(attributes, "allele"), {}, line()});
        path.push_back(element);
        textBuffer.clear();
    }

    void end()
    {
        const std::string element = path.back();
        path.pop_back();
        if (element == "name" && path.size() == 2 && !markers.empty())
            markers.back().name = textBuffer;
        else if (element == "frequency" && path.size() == 3 && !markers.empty() && !markers.back().origins.empty()
                 && !markers.back().origins.back().frequencies.empty())
            markers.back().origins.back().frequencies.back().value = textBuffer;
        textBuffer.clear();
    }
};

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attributes)
{
    static_cast<Collector*>(data)->start(name, attributes);
}
void XMLCALL onEnd(void* data, const XML_Char*)
{
    static_cast<Collector*>(data)->end();
}
void XMLCALL onText(void* data, const XML_Char* s, int length)
{
    static_cast<Collector*>(data)->textBuffer.append(s, static_cast<std::size_t>(length));
}

std::string trimmed(std::string_view s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\n' || s[b] == '\r'))
        ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\n' || s[e - 1] == '\r'))
        --e;
    return std::string(s.substr(b, e - b));
}

std::vector<Marker> parse(std::string_view text)
{
    if (text.size() > static_cast<std::size_t>(INT_MAX))
        throw ImportError("файл слишком велик");
    Collector collector;
    std::unique_ptr<std::remove_pointer_t<XML_Parser>, decltype(&XML_ParserFree)> parser(XML_ParserCreate(nullptr),
                                                                                         &XML_ParserFree);
    if (!parser)
        throw ImportError("не хватает памяти для разбора XML");
    collector.parser = parser.get();
    XML_SetUserData(parser.get(), &collector);
    XML_SetElementHandler(parser.get(), onStart, onEnd);
    XML_SetCharacterDataHandler(parser.get(), onText);
    if (XML_Parse(parser.get(), text.data(), static_cast<int>(text.size()), XML_TRUE) == XML_STATUS_ERROR)
        throw ImportError("строка " + std::to_string(XML_GetCurrentLineNumber(parser.get())) + ": XML повреждён ("
                          + XML_ErrorString(XML_GetErrorCode(parser.get())) + ")");
    if (!collector.sawRoot)
        throw ImportError("это XML, но не выгрузка частот: нет корневого элемента <frequencies>");
    return std::move(collector.markers);
}

std::string line(int n)
{
    return "строка " + std::to_string(n);
}

} // namespace

bool looksLikeXml(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
        ++i;
    const auto rest = text.substr(i);
    return rest.rfind("<?xml", 0) == 0 || rest.rfind("<frequencies", 0) == 0;
}

FrequencyTable readXmlExport(std::string_view text, const std::optional<std::string>& origin,
                             const text::NumberFormat& format)
{
    const std::vector<Marker> markers = parse(text);

    // Every origin with the sample sizes it has across the markers.
    std::map<std::string, std::pair<std::string, std::set<long>>> origins; // plain name -> shown, n values
    for (const auto& marker : markers) {
        for (const auto& o : marker.origins) {
            auto& entry = origins[plainWord(o.name)];
            if (entry.first.empty())
                entry.first = o.name;
            if (auto n = readDecimal(o.n); n && *n >= 0 && *n <= 1e9)
                entry.second.insert(static_cast<long>(*n));
        }
    }
    auto listing = [&] {
        std::string list;
        for (const auto& [key, entry] : origins) {
            list += "\n  " + entry.first;
            const auto& ns = entry.second;
            if (ns.size() == 1)
                list += " (n = " + std::to_string(*ns.begin()) + ")";
            else if (!ns.empty())
                list += " (n = " + std::to_string(*ns.begin()) + "–" + std::to_string(*ns.rbegin()) + ")";
        }
        return list;
    };
    if (origins.empty())
        throw ImportError("в выгрузке нет ни одной популяции (элементов <origin>)");
    std::string wanted;
    if (origin) {
        wanted = plainWord(*origin);
        if (!origins.count(wanted))
            throw ImportError("в выгрузке нет популяции «" + *origin + "»; есть:" + listing());
    } else if (origins.size() > 1) {
        throw ImportError("популяций в выгрузке: " + std::to_string(origins.size())
                          + "; выберите одну с --origin ИМЯ:" + listing());
    } else {
        wanted = origins.begin()->first;
    }

    TableBuilder builder(format);
    for (const auto& marker : markers) {
        for (const auto& o : marker.origins) {
            if (plainWord(o.name) != wanted)
                continue;
            const std::size_t k = builder.locus(trimmed(marker.name), line(marker.line), false);
            // An export is often one long line: the line alone does not find the element.
            const std::string place = ", маркер «" + trimmed(marker.name) + "», популяция «" + o.name + "»";
            for (const auto& f : o.frequencies) {
                builder.add(k, GridCell{trimmed(f.allele), std::nullopt, {}}, line(f.line) + place,
                            GridCell{trimmed(f.value), std::nullopt, {}},
                            line(f.line) + place + ", аллель «" + trimmed(f.allele) + "»", false);
            }
        }
    }
    return builder.finish("выгрузка XML, популяция «" + origins[wanted].first + "»");
}

} // namespace popimport
