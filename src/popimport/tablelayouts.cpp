// SPDX-License-Identifier: GPL-3.0-or-later
#include "tablelayouts.h"

#include <map>
#include <utility>
#include <vector>

#include "popimport/locusnames.h"
#include "popimport/tablebuilder.h"

namespace popimport {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

bool isLocusWord(std::string_view s)
{
    return isOneOf(s, {"locus", "loci", "marker", "markers", "str", "локус", "локусы", "маркер", "маркеры"});
}
bool isAlleleWord(std::string_view s)
{
    return isOneOf(s, {"allele", "alleles", "аллель", "аллели"});
}
bool isFrequencyWord(std::string_view s)
{
    return isOneOf(s, {"frequency", "frequencies", "freq", "частота", "частоты"});
}
bool isPopulationWord(std::string_view s)
{
    return isOneOf(s, {"population", "origin", "популяция", "население"});
}

// An allele column header of a transposed table: "10", "9.3", "freq_9.3", "freq 9.3". A bare
// number must be above 1: a frequency (at most 1) in a data row is never taken for a header.
std::optional<std::string> alleleHeader(const GridCell& cell)
{
    std::string s = cell.text;
    const bool prefixed = plainWord(s).rfind("freq", 0) == 0;
    if (prefixed)
        s = s.substr(4);
    while (!s.empty() && (s.front() == '_' || s.front() == ' ' || s.front() == '.'))
        s.erase(s.begin());
    const std::optional<double> value = cell.number ? cell.number : readDecimal(s);
    if (!s.empty() && value && (prefixed || *value > 1))
        return s;
    return std::nullopt;
}

struct Header {
    enum class Kind { None, Long, Wide, Transposed } kind = Kind::None;
    std::size_t row = 0;
    std::size_t locus = kNone, allele = kNone, frequency = kNone, population = kNone;
    // A header word met again in a later column (the first column of that word, the later one):
    // two "frequency" columns may be two populations' figures, and reading only the first would
    // write the wrong one without a word.
    std::vector<std::pair<std::size_t, std::size_t>> repeated;
};

Header recognise(const Grid& grid, std::size_t r)
{
    Header h;
    h.row = r;
    const std::size_t width = grid.width(r);
    std::size_t alleleHeaders = 0, named = 0;
    for (std::size_t c = 0; c < width; ++c) {
        const GridCell cell = grid.cell(r, c);
        if (cell.number)
            continue;
        const auto take = [&](std::size_t& column) {
            if (column == kNone)
                column = c;
            else
                h.repeated.push_back({column, c});
        };
        if (isLocusWord(cell.text))
            take(h.locus);
        else if (isAlleleWord(cell.text))
            take(h.allele);
        else if (isFrequencyWord(cell.text))
            take(h.frequency);
        else if (isPopulationWord(cell.text) && h.population == kNone)
            h.population = c;
    }
    // Columns of statistics and the population column say nothing about the layout.
    for (std::size_t c = 1; c < width; ++c) {
        const GridCell cell = grid.cell(r, c);
        if (cell.empty() || (!cell.number && (isStatisticName(cell.text) || isPopulationWord(cell.text))))
            continue;
        ++named;
        alleleHeaders += alleleHeader(cell) ? 1 : 0;
    }
    if (h.locus != kNone && h.allele != kNone && h.frequency != kNone) {
        h.kind = Header::Kind::Long;
    } else if (alleleHeaders >= 2 && alleleHeaders * 2 > named && !alleleHeader(grid.cell(r, 0))) {
        h.kind = Header::Kind::Transposed;
        if (h.locus == kNone)
            h.locus = 0;
    } else if (named > 0 && alleleHeaders == 0
               && (grid.cell(r, 0).empty() || isAlleleWord(grid.cell(r, 0).text)
                   || plainWord(grid.cell(r, 0).text) == "str")) {
        h.kind = Header::Kind::Wide;
    }
    return h;
}

// The rows of the chosen origin, when the table has a population column.
class OriginFilter {
public:
    OriginFilter(const Grid& grid, const Header& h, const std::optional<std::string>& origin) : m_column(h.population)
    {
        if (m_column == kNone) {
            if (origin)
                throw ImportError("в таблице нет столбца популяции, а указан --origin " + *origin);
            return;
        }
        std::map<std::string, std::pair<std::string, int>> seen; // plain name -> shown name, rows
        for (std::size_t r = h.row + 1; r < grid.rowCount(); ++r) {
            const std::string name = grid.cell(r, m_column).text;
            if (!name.empty()) {
                auto& entry = seen[plainWord(name)];
                if (entry.first.empty())
                    entry.first = name;
                ++entry.second;
            }
        }
        std::string list;
        for (const auto& [key, value] : seen)
            list += (list.empty() ? "" : ", ") + value.first + " (строк: " + std::to_string(value.second) + ")";
        if (origin) {
            m_wanted = plainWord(*origin);
            if (!seen.count(m_wanted))
                throw ImportError("в таблице нет популяции «" + *origin + "»; есть: " + list);
        } else if (seen.size() > 1) {
            throw ImportError("в таблице несколько популяций; выберите одну с --origin: " + list);
        }
    }
    bool accepts(const Grid& grid, std::size_t r) const
    {
        return m_column == kNone || m_wanted.empty() || plainWord(grid.cell(r, m_column).text) == m_wanted;
    }

private:
    std::size_t m_column;
    std::string m_wanted;
};

bool sameCell(const GridCell& a, const GridCell& b)
{
    return a.number && b.number ? *a.number == *b.number : a.text == b.text && a.error == b.error;
}

// A column repeated with the same values (a copy kept for printing) is harmless; with other values
// the table does not say which of them is meant. `only`: check just the repeats of that column.
void checkRepeatedColumns(const Grid& grid, const Header& h, std::size_t r, std::size_t only = kNone)
{
    for (const auto& [first, again] : h.repeated) {
        if (only != kNone && first != only)
            continue;
        const GridCell a = grid.cell(r, first);
        const GridCell b = grid.cell(r, again);
        if (!sameCell(a, b))
            throw ImportError(grid.where(r, again) + ": столбец «" + grid.cell(h.row, again).text
                              + "» в заголовке дважды (" + grid.where(h.row, first) + " и " + grid.where(h.row, again)
                              + "), а в этой строке в них разное: «" + a.text + "» и «" + b.text
                              + "»; неясно, какой читать — оставьте в таблице один такой столбец");
    }
}

FrequencyTable readLong(const Grid& grid, const Header& h, const OriginFilter& filter, TableBuilder& builder)
{
    bool anyFrequency = false, anyRow = false;
    for (std::size_t r = h.row + 1; r < grid.rowCount(); ++r) {
        if (!filter.accepts(grid, r))
            continue;
        checkRepeatedColumns(grid, h, r);
        const GridCell locus = grid.cell(r, h.locus);
        const GridCell allele = grid.cell(r, h.allele);
        const GridCell frequency = grid.cell(r, h.frequency);
        if (locus.empty() && allele.empty() && frequency.empty())
            continue;
        if (isStatisticName(allele.text) && !allele.number)
            continue;
        const std::size_t k = builder.locus(locus.text, grid.where(r, h.locus), true);
        builder.add(k, allele, grid.where(r, h.allele), frequency, grid.where(r, h.frequency), false);
        anyRow = true;
        anyFrequency
            = anyFrequency || (frequency.number ? *frequency.number : readDecimal(frequency.text).value_or(0)) != 0;
    }
    // A column of zeros is no table of frequencies but a misread one (a shifted column, numbers
    // cut at a decimal comma); written, every locus would sum to 0.
    if (anyRow && !anyFrequency)
        throw ImportError(grid.where(h.row, h.frequency)
                          + ": в столбце частот во всех строках 0 — таблица прочитана "
                            "неверно; проверьте разделители и десятичные запятые");
    return builder.finish("длинная таблица (строка на аллель)");
}

FrequencyTable readWide(const Grid& grid, const Header& h, TableBuilder& builder)
{
    std::size_t width = 0;
    for (std::size_t r = h.row; r < grid.rowCount(); ++r)
        width = std::max(width, grid.width(r));
    std::vector<std::size_t> loci(width, kNone);
    for (std::size_t c = 1; c < width; ++c) {
        const GridCell name = grid.cell(h.row, c);
        bool hasValues = false;
        for (std::size_t r = h.row + 1; r < grid.rowCount() && !hasValues; ++r)
            hasValues = !grid.cell(r, c).empty() && !isStatisticName(grid.cell(r, 0).text);
        if (name.empty()) {
            if (hasValues)
                throw ImportError(grid.where(h.row, c) + ": пустое имя локуса над столбцом частот");
            continue;
        }
        if (!name.number && isStatisticName(name.text))
            continue; // a column of totals or sample sizes beside the loci
        loci[c] = builder.locus(name.text, grid.where(h.row, c), false);
    }
    for (std::size_t r = h.row + 1; r < grid.rowCount(); ++r) {
        const GridCell allele = grid.cell(r, 0);
        if (!allele.number && isStatisticName(allele.text))
            continue;
        for (std::size_t c = 1; c < width; ++c) {
            if (loci[c] != kNone)
                builder.add(loci[c], allele, grid.where(r, 0), grid.cell(r, c), grid.where(r, c), true);
        }
    }
    return builder.finish("широкая таблица (столбец на локус)");
}

FrequencyTable readTransposed(const Grid& grid, const Header& h, const OriginFilter& filter, TableBuilder& builder)
{
    std::vector<std::pair<std::size_t, GridCell>> alleles; // column, allele label cell
    for (std::size_t c = 0; c < grid.width(h.row); ++c) {
        if (c == h.locus || c == h.population)
            continue;
        if (auto label = alleleHeader(grid.cell(h.row, c)))
            alleles.push_back({c, GridCell{*label, std::nullopt, {}}});
    }
    for (std::size_t r = h.row + 1; r < grid.rowCount(); ++r) {
        if (!filter.accepts(grid, r))
            continue;
        bool hasValues = false;
        for (const auto& [c, label] : alleles)
            hasValues = hasValues || !grid.cell(r, c).empty();
        const GridCell name = grid.cell(r, h.locus);
        if (!hasValues && (name.empty() || isStatisticName(name.text)))
            continue;
        checkRepeatedColumns(grid, h, r, h.locus);
        const std::size_t k = builder.locus(name.text, grid.where(r, h.locus), false);
        for (const auto& [c, label] : alleles)
            builder.add(k, label, grid.where(h.row, c), grid.cell(r, c), grid.where(r, c), true);
    }
    return builder.finish("транспонированная таблица (строка на локус)");
}

bool isDigits(std::string_view s)
{
    return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

// A text's row with more fields than its header cannot be read unambiguously: in a comma-separated
// text an unquoted decimal comma splits "0,2" into the fields "0" and "2", and every column after
// it shifts. A worksheet's cells do not shift, so only texts are checked.
void checkRowWidths(const Grid& grid, const Header& h)
{
    if (grid.separator() == 0)
        return;
    std::size_t headerWidth = grid.width(h.row);
    while (headerWidth > 0 && grid.cell(h.row, headerWidth - 1).empty())
        --headerWidth;
    for (std::size_t r = h.row + 1; r < grid.rowCount(); ++r) {
        std::size_t width = grid.width(r);
        while (width > headerWidth && grid.cell(r, width - 1).empty())
            --width;
        if (width <= headerWidth)
            continue;
        std::string reason = grid.whereRow(r) + ": полей в строке " + std::to_string(width) + ", а в заголовке ("
                             + grid.whereRow(h.row) + ") " + std::to_string(headerWidth)
                             + " — столбцы строки не совпадают с заголовком";
        // Two fields of digits side by side are what a split decimal comma leaves; a frequency's
        // "0" before its digits is the likeliest, so such a pair is shown first.
        std::size_t split = kNone;
        for (std::size_t c = 1; grid.separator() == ',' && c + 1 < width; ++c) {
            if (isDigits(grid.cell(r, c).text) && isDigits(grid.cell(r, c + 1).text)
                && (split == kNone || (grid.cell(r, c).text == "0" && grid.cell(r, split).text != "0")))
                split = c;
        }
        if (split != kNone) {
            const std::string whole = grid.cell(r, split).text;
            const std::string fraction = grid.cell(r, split + 1).text;
            reason += "; похоже, дробные числа записаны с десятичной запятой без кавычек: «" + whole + "," + fraction
                      + "» разделилось на поля «" + whole + "» и «" + fraction
                      + "». Сохраните таблицу с разделителем «;» или возьмите такие числа в кавычки";
        }
        throw ImportError(reason);
    }
}

FrequencyTable readLayout(const Grid& grid, const Header& h, const std::optional<std::string>& origin,
                          TableBuilder& builder)
{
    switch (h.kind) {
    case Header::Kind::Long:
        return readLong(grid, h, OriginFilter(grid, h, origin), builder);
    case Header::Kind::Transposed:
        return readTransposed(grid, h, OriginFilter(grid, h, origin), builder);
    case Header::Kind::Wide:
        break;
    case Header::Kind::None:
        return {};
    }
    if (origin)
        throw ImportError("в таблице нет столбца популяции, а указан --origin " + *origin);
    return readWide(grid, h, builder);
}

} // namespace

bool hasTableHeader(const Grid& grid)
{
    for (std::size_t r = 0; r < grid.rowCount() && r < kHeaderSearchRows; ++r) {
        if (recognise(grid, r).kind != Header::Kind::None)
            return true;
    }
    return false;
}

FrequencyTable readGridTable(const Grid& grid, const std::optional<std::string>& origin,
                             const text::NumberFormat& format)
{
    TableBuilder builder(format);
    for (std::size_t r = 0; r < grid.rowCount() && r < kHeaderSearchRows; ++r) {
        const Header h = recognise(grid, r);
        if (h.kind == Header::Kind::None)
            continue;
        checkRowWidths(grid, h);
        FrequencyTable table = readLayout(grid, h, origin, builder);
        if (table.loci.empty())
            throw ImportError("в таблице (" + table.layout + ") нет ни одной частоты");
        return table;
    }
    throw ImportError(
        "таблица ни в одном из понятных форматов: нужна строка заголовка — либо столбцы «локус», «аллель», "
        "«частота» (строка на аллель), либо «Allele» и имена локусов (столбец на локус), либо имя локуса и "
        "аллели «10», «9.3» (строка на локус)");
}

} // namespace popimport
