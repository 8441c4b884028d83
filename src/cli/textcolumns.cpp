// SPDX-License-Identifier: GPL-3.0-or-later
#include "textcolumns.h"

#include <algorithm>

#include "text/shorttext.h"

namespace cli {

void writeTextColumns(const std::vector<std::vector<std::string>>& lines, std::ostream& out)
{
    if (lines.empty())
        return;
    std::vector<std::size_t> widths(lines.front().size());
    for (const auto& line : lines) {
        for (std::size_t c = 0; c < line.size() && c < widths.size(); ++c)
            widths[c] = std::max(widths[c], text::characterCount(line[c]));
    }
    for (const auto& line : lines) {
        std::string s;
        for (std::size_t c = 0; c < line.size(); ++c) {
            s += line[c];
            if (c + 1 < line.size() && c < widths.size())
                s += std::string(widths[c] - text::characterCount(line[c]) + 2, ' ');
        }
        s.erase(s.find_last_not_of(' ') + 1);
        out << s << '\n';
    }
}

} // namespace cli
