// SPDX-License-Identifier: GPL-3.0-or-later
#include "delimitedtext.h"

#include <algorithm>
#include <array>

namespace tabletext {
namespace {

std::string trimmed(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::size_t b = 0, e = s.size();
    while (b < e && blank(s[b]))
        ++b;
    while (e > b && blank(s[e - 1]))
        --e;
    return std::string(s.substr(b, e - b));
}

// The separator the first lines hold most often: a semicolon file with decimal commas has at least
// as many semicolons as commas, and a title line above the header weighs little.
char chooseSeparator(std::string_view text)
{
    constexpr std::array<char, 3> candidates{'\t', ';', ','};
    constexpr int kLinesLooked = 20;
    std::array<int, 3> counts{};
    bool quoted = false;
    int lines = 0;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        if (quoted)
            continue;
        if (c == '\n' && ++lines == kLinesLooked)
            break;
        for (std::size_t i = 0; i < candidates.size(); ++i)
            counts[i] += c == candidates[i] ? 1 : 0;
    }
    std::size_t best = 2;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (counts[i] > counts[best] || (counts[i] == counts[best] && i < best && counts[i] > 0))
            best = i;
    }
    return candidates[best];
}

} // namespace

DelimitedText splitDelimited(std::string_view text, std::size_t maxCells, char chosen, std::size_t keptRows)
{
    DelimitedText result;
    const char separator = chosen != 0 ? chosen : chooseSeparator(text);
    result.separator = separator;
    result.grid = Grid::forText(separator);
    Grid& grid = result.grid;
    if (keptRows == static_cast<std::size_t>(-1)) {
        // Every separator and line end may end a cell: room for that many, up to the limit, so
        // that millions of cells are not copied each time their array grows. Room never used
        // costs no memory.
        const auto lineEnds = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')
                                                       + std::count(text.begin(), text.end(), '\r'));
        const auto separators = static_cast<std::size_t>(std::count(text.begin(), text.end(), separator));
        grid.reserve(std::min(separators + lineEnds + 1, maxCells + 1), lineEnds + 1, text.size());
    }

    std::string field;
    std::string afterQuote; // text between a closing quote and the separator
    bool quoted = false;
    bool wasQuoted = false;
    int line = 1;
    int rowLine = 1; // a quoted field may span lines: the row is named by its first
    int quoteLine = 0;
    std::size_t cells = 0;
    bool rowStarted = false; // a field of the current row has ended
    bool kept = false; // the current row goes into the grid
    auto endField = [&] {
        ++cells;
        if (!rowStarted) {
            rowStarted = true;
            kept = grid.rowCount() < keptRows;
            if (kept)
                grid.beginRow(rowLine);
        }
        if (kept) {
            std::string cell = wasQuoted ? field : trimmed(field);
            if (const std::string tail = trimmed(afterQuote); !tail.empty())
                cell += (afterQuote.front() == ' ' || afterQuote.front() == '\t' ? " " : "") + tail;
            grid.addCell(cell);
        }
        field.clear();
        afterQuote.clear();
        wasQuoted = false;
    };
    auto endRow = [&] {
        endField();
        if (kept)
            grid.endRow();
        rowStarted = false;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (cells > maxCells) {
            result.complete = false;
            break;
        }
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                if (c == '\n')
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == '"' && !wasQuoted && trimmed(field).empty()) {
            field.clear();
            quoted = true;
            wasQuoted = true;
            quoteLine = line;
        } else if (c == separator) {
            endField();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            endRow();
            rowLine = ++line;
        } else if (!wasQuoted) {
            field += c;
        } else {
            afterQuote += c;
        }
    }
    if (quoted && result.complete)
        result.unclosedQuoteLine = quoteLine;
    result.lastLineEnded = text.empty() || text.back() == '\n' || text.back() == '\r';
    if (!field.empty() || rowStarted || wasQuoted || !afterQuote.empty())
        endRow();
    return result;
}

} // namespace tabletext
