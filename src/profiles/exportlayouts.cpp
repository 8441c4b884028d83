// SPDX-License-Identifier: GPL-3.0-or-later
#include "exportlayouts.h"

#include <algorithm>
#include <map>
#include <optional>

#include "profiles/allelecells.h"
#include "tabletext/locuskey.h"

namespace profiles {
namespace {

using tabletext::Grid;

std::string inQuotes(const std::string& s)
{
    return "«" + s + "»";
}

// "17/18"; "нет аллелей" for a row without any.
std::string callText(const std::vector<std::string>& alleles)
{
    std::string text;
    for (const auto& a : alleles)
        text += (text.empty() ? "" : "/") + a;
    return text.empty() ? "нет аллелей" : text;
}

bool isOneOf(const std::string& key, std::initializer_list<std::string_view> words)
{
    return std::find(words.begin(), words.end(), key) != words.end();
}

bool isSampleHeader(const std::string& key)
{
    return isOneOf(key, {"samplename", "sample", "sampleid", "образец", "имяобразца", "проба"});
}

bool isMarkerHeader(const std::string& key)
{
    return isOneOf(key, {"marker", "locus", "markername", "locusname", "маркер", "локус"});
}

// "allele1" .. "alleleN": the number N; 0 for the single "allele" column; nullopt otherwise.
std::optional<int> alleleColumnNumber(const std::string& key)
{
    for (std::string_view word : {"allele", "аллель"}) {
        if (key.rfind(word, 0) != 0)
            continue;
        const std::string rest = key.substr(word.size());
        if (rest.empty())
            return 0;
        if (rest.size() <= 3 && std::all_of(rest.begin(), rest.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return std::stoi(rest);
    }
    return std::nullopt;
}

// Columns of a laboratory system's wide export that are no markers.
bool isWideInfoHeader(const std::string& key)
{
    return isOneOf(key, {"samplefile", "file", "filename",   "panel",    "kit",        "run",     "case", "caseid",
                         "casenumber", "date", "comment",    "comments", "remark",     "remarks", "note", "notes",
                         "quality",    "type", "sampletype", "specimen", "well",       "plate",   "id",   "no",
                         "n",          "№",    "дело",       "дата",     "примечание", "тип",     "набор"});
}

struct Header {
    std::size_t row = 0; // index of the grid's row
    std::size_t sample = 0;
    std::optional<std::size_t> marker;
    std::vector<std::size_t> alleles; // the allele columns of the long layouts, in order
    bool perAllele = false;
};

std::optional<Header> findHeader(const Grid& grid)
{
    const std::size_t rows = std::min(grid.rowCount(), kHeaderRowsLooked);
    for (std::size_t r = 0; r < rows; ++r) {
        Header h;
        h.row = r;
        std::optional<std::size_t> sample;
        std::vector<std::pair<int, std::size_t>> numbered;
        std::optional<std::size_t> single;
        for (std::size_t c = 0; c < grid.width(r); ++c) {
            const std::string key = tabletext::locusKey(grid.cell(r, c).text);
            if (!sample && isSampleHeader(key))
                sample = c;
            else if (!h.marker && isMarkerHeader(key))
                h.marker = c;
            else if (const auto n = alleleColumnNumber(key); n && *n > 0)
                numbered.push_back({*n, c});
            else if (n && !single)
                single = c;
        }
        if (!sample)
            continue;
        h.sample = *sample;
        std::stable_sort(numbered.begin(), numbered.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [n, c] : numbered)
            h.alleles.push_back(c);
        if (h.alleles.empty() && single) {
            h.alleles.push_back(*single);
            h.perAllele = true;
        }
        return h;
    }
    return std::nullopt;
}

class ExportBuilder {
public:
    // `samples`: as many as are likely, so that the samples of a large export are not held twice
    // while they are moved to a larger place.
    explicit ExportBuilder(const Grid& grid, std::size_t samples = 0) : m_grid(grid)
    {
        m_export.samples.reserve(samples);
    }

    // The marker's place in the export's markers.
    std::size_t noteMarker(const std::string& name)
    {
        std::string key = tabletext::locusKey(name);
        const auto [it, added] = m_export.markerPlaces.emplace(key, m_export.markerKeys.size());
        if (added) {
            m_export.markerNames.emplace(key, name);
            m_export.markerKeys.push_back(std::move(key));
        }
        return it->second;
    }

    ExportedSample& sample(const std::string& name)
    {
        const auto [it, added] = m_sampleIndex.emplace(name, m_export.samples.size());
        if (added)
            m_export.samples.push_back({name, {}, {}});
        return m_export.samples[it->second];
    }

    // The call of a row that gives all of the sample's alleles at the marker. A second row for
    // the same sample and marker with other alleles makes the sample ambiguous: a case that
    // takes it is refused, the others are not (a control injected twice is no concern of theirs).
    void putCall(std::size_t r, const std::string& sampleName, const std::string& marker,
                 const std::vector<std::string>& alleles, std::optional<MarkerCall::OtherReadings> other = std::nullopt)
    {
        const std::size_t place = noteMarker(marker);
        ExportedSample& s = sample(sampleName);
        const int line = m_grid.line(r);
        if (s.calls.add(place, line, alleles, std::move(other)))
            return;
        const MarkerCall first = *s.calls.find(place);
        auto sorted = [](std::vector<std::string> v) {
            std::sort(v.begin(), v.end());
            return v;
        };
        if (sorted(first.alleles) != sorted(alleles) && s.conflict.empty())
            s.conflict = "маркер " + inQuotes(marker) + ": строка " + std::to_string(first.line) + " — "
                         + callText(first.alleles) + ", строка " + std::to_string(line) + " — " + callText(alleles);
    }

    // One allele of a row that gives one allele (the per-allele layout).
    void addToCall(std::size_t r, const std::string& sampleName, const std::string& marker, const std::string& allele)
    {
        const std::size_t place = noteMarker(marker);
        sample(sampleName).calls.addAllele(place, m_grid.line(r), allele);
    }

    GenotypeExport take(std::string layout)
    {
        m_export.layout = std::move(layout);
        return std::move(m_export);
    }

private:
    const Grid& m_grid;
    GenotypeExport m_export;
    std::map<std::string, std::size_t> m_sampleIndex;
};

// A sample's or marker's name without the blanks a quoted field keeps ("  Иванов "): the
// operator names the sample without them.
std::string requiredText(const Grid& grid, std::size_t r, std::size_t c, const char* what)
{
    std::string text = grid.cell(r, c).text;
    text.erase(0, text.find_first_not_of(" \t\r\n"));
    text.erase(text.find_last_not_of(" \t\r\n") + 1);
    if (text.empty())
        throw ExportError(grid.where(r, c) + ": нет " + what);
    return text;
}

// A row with a filled field past the columns read (past the header, or past a merged header's
// last column): an allele there would be lost and its heterozygote read as a homozygote.
void refuseFieldsPastColumns(const Grid& grid, std::size_t r, std::size_t columns, std::size_t headerRow)
{
    for (std::size_t c = columns; c < grid.width(r); ++c) {
        if (!grid.cell(r, c).text.empty())
            throw ExportError(grid.where(r, c) + ": «" + grid.cell(r, c).text
                              + "» стоит за последним столбцом заголовка (" + grid.whereRow(headerRow) + ")");
    }
}

GenotypeExport readLong(const Grid& grid, const Header& h, std::size_t endRow)
{
    ExportBuilder builder(grid);
    for (std::size_t r = h.row + 1; r < endRow; ++r) {
        refuseFieldsPastColumns(grid, r, grid.width(h.row), h.row);
        const std::string sample = requiredText(grid, r, h.sample, "имени образца");
        const std::string marker = requiredText(grid, r, *h.marker, "имени маркера");
        if (h.perAllele) {
            builder.addToCall(r, sample, marker, alleleLabel(grid.cell(r, h.alleles.front()).text));
            continue;
        }
        std::vector<std::string> alleles;
        for (std::size_t c : h.alleles) {
            if (std::string label = alleleLabel(grid.cell(r, c).text); !label.empty())
                addAllele(alleles, std::move(label));
        }
        builder.putCall(r, sample, marker, alleles);
    }
    return builder.take(h.perAllele ? "по строке на аллель" : "по строке на образец и маркер");
}

// "D3S1358 1", "D3S1358.2", "D3S1358_1": the marker without the number of its allele column. The
// number follows a blank, point, underscore or hyphen, so "TH01" keeps its "1".
std::string wideMarkerName(const std::string& header)
{
    const std::size_t n = header.size();
    if (n >= 3 && (header[n - 1] == '1' || header[n - 1] == '2')
        && (header[n - 2] == ' ' || header[n - 2] == '.' || header[n - 2] == '_' || header[n - 2] == '-')) {
        std::string name = header.substr(0, n - 2);
        while (!name.empty() && name.back() == ' ')
            name.pop_back();
        return name;
    }
    return header;
}

GenotypeExport readWide(const Grid& grid, const Header& h, std::size_t endRow)
{
    // The marker columns in order; a marker's columns are read together, each cell split.
    std::vector<std::pair<std::string, std::vector<std::size_t>>> markers;
    std::map<std::string, std::size_t> markerIndex; // by locus key: a header may be very wide
    // A column without a header right after a marker's only column is that marker's second
    // allele when it holds any: a spreadsheet's header cell merged over the marker's two columns
    // is saved as the name and an empty cell (or none at the end of the line). Read alone, each
    // heterozygote would become a homozygote.
    std::size_t width = 0;
    for (std::size_t r = h.row; r < endRow; ++r)
        width = std::max(width, grid.width(r));
    auto holdsData = [&grid, &h, endRow](std::size_t c) {
        for (std::size_t r = h.row + 1; r < endRow; ++r) {
            if (!grid.cell(r, c).text.empty())
                return true;
        }
        return false;
    };
    for (std::size_t c = 0; c < width; ++c) {
        const std::string header = grid.cell(h.row, c).text;
        if (header.empty() && c > 0 && !markers.empty() && markers.back().second == std::vector<std::size_t>{c - 1}
            && holdsData(c)) {
            markers.back().second.push_back(c);
            continue;
        }
        if (c == h.sample || header.empty() || isWideInfoHeader(tabletext::locusKey(header)))
            continue;
        const std::string name = wideMarkerName(header);
        const auto [it, added] = markerIndex.emplace(tabletext::locusKey(name), markers.size());
        if (added)
            markers.push_back({name, {c}});
        else
            markers[it->second].second.push_back(c);
    }
    if (markers.empty())
        throw ExportError(grid.whereRow(h.row) + ": в заголовке нет ни одного маркера");
    std::size_t columnsRead = grid.width(h.row);
    for (const auto& marker : markers)
        columnsRead = std::max(columnsRead, marker.second.back() + 1);
    ExportBuilder builder(grid, endRow - h.row - 1);
    for (std::size_t r = h.row + 1; r < endRow; ++r) {
        refuseFieldsPastColumns(grid, r, columnsRead, h.row);
        const std::string sample = requiredText(grid, r, h.sample, "имени образца");
        // A row gives the sample every marker: its calls take what they need and no more.
        SampleCalls& calls = builder.sample(sample).calls;
        calls.reserve(markers.size());
        for (const auto& [name, columns] : markers) {
            std::vector<std::string> alleles;
            std::optional<MarkerCall::OtherReadings> other;
            for (std::size_t c : columns) {
                const std::string cell = grid.cell(r, c).text;
                if (columns.size() > 1) {
                    if (std::string label = alleleLabel(cell); !label.empty())
                        addAllele(alleles, std::move(label));
                    continue;
                }
                auto readings = alleleCellReadings(cell);
                if (readings.empty())
                    continue;
                alleles = std::move(readings.front());
                if (readings.size() > 1)
                    other = MarkerCall::OtherReadings{
                        {std::make_move_iterator(readings.begin() + 1), std::make_move_iterator(readings.end())}, cell};
            }
            builder.putCall(r, sample, name, alleles, std::move(other));
        }
        calls.shrinkToFit();
    }
    return builder.take("по строке на образец");
}

// Whether a cell holds what reads as an allele call: a number of repeats or an off-ladder call.
bool holdsCall(const std::string& cell)
{
    for (const auto& reading : alleleCellReadings(cell)) {
        for (const auto& label : reading) {
            if (isRepeatNumber(label) || isOffLadder(label))
                return true;
        }
    }
    return false;
}

// The rows after the table that are no part of it: from the end up, rows narrower than the header
// whose fields besides the sample hold no allele call. The index of the first of them.
std::size_t tableEnd(const Grid& grid, const Header& h)
{
    std::size_t end = grid.rowCount();
    while (end > h.row + 1 && grid.width(end - 1) < grid.width(h.row)) {
        const std::size_t r = end - 1;
        for (std::size_t c = 0; c < grid.width(r); ++c) {
            if (c != h.sample && holdsCall(grid.cell(r, c).text))
                return end;
        }
        --end;
    }
    return end;
}

std::string rowText(const Grid& grid, std::size_t r)
{
    std::string text;
    for (std::size_t c = 0; c < grid.width(r); ++c) {
        if (!grid.cell(r, c).text.empty())
            text += (text.empty() ? "" : " ") + grid.cell(r, c).text;
    }
    return text;
}

} // namespace

bool hasExportHeader(const Grid& grid)
{
    return findHeader(grid).has_value();
}

GenotypeExport readExportGrid(const Grid& grid, bool lastLineEnded)
{
    const std::optional<Header> header = findHeader(grid);
    if (!header)
        throw ExportError("в первых " + std::to_string(kHeaderRowsLooked)
                          + " строках нет заголовка со столбцом образца (Sample Name, SampleName, Образец)");
    const std::size_t end = tableEnd(grid, *header);
    const std::size_t last = grid.rowCount() - 1;
    if (!lastLineEnded && end > last && last > header->row && grid.width(last) < grid.width(header->row))
        throw ExportError(grid.whereRow(last) + ": файл обрывается на этой строке, полей в ней "
                          + std::to_string(grid.width(last)) + ", в заголовке "
                          + std::to_string(grid.width(header->row)) + " — похоже, файл записан не полностью");
    // Without a marker column, "Allele 1" would be read as a marker of a wide export named
    // "Allele", and the refusal would speak of that marker.
    if (!header->marker && !header->alleles.empty())
        throw ExportError(grid.whereRow(header->row)
                          + ": есть столбцы аллелей, но нет столбца маркера (Marker, Locus или Маркер)");
    if (header->marker && header->alleles.empty())
        throw ExportError(grid.whereRow(header->row)
                          + ": есть столбец маркера, но нет столбцов аллелей (Allele 1, "
                            "Allele 2 или Allele)");
    GenotypeExport result = header->marker ? readLong(grid, *header, end) : readWide(grid, *header, end);
    if (result.samples.empty())
        throw ExportError("под заголовком (" + grid.whereRow(header->row) + ") нет ни одного образца");
    if (end <= last) {
        const std::string lines = end == last ? grid.whereRow(end) + " после таблицы не прочитана"
                                              : "строки " + std::to_string(grid.line(end)) + "–"
                                                    + std::to_string(grid.line(last)) + " после таблицы не прочитаны";
        result.notes.push_back(lines + ": полей меньше, чем в заголовке, и нет аллелей («" + rowText(grid, end) + "»)");
    } else if (!lastLineEnded) {
        // A copy cut inside its last allele ("29.2" as "29") reads as a whole row.
        result.notes.push_back("последняя строка файла (" + grid.whereRow(last)
                               + ") без конца строки: проверьте, что файл записан полностью");
    }
    return result;
}

} // namespace profiles
