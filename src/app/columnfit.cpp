// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/columnfit.h"

#include <algorithm>
#include <numeric>

namespace app {
namespace {

// The text columns, in the order they give room to the numbers: the formula column first (the
// widest and the one whose texts are sentences), then the locus; spare room goes the other way.
constexpr std::array<int, 2> kGivers = {2, 1};
constexpr std::array<int, 2> kTakers = {1, 2};

bool isTextColumn(int column)
{
    return column == 1 || column == 2;
}

} // namespace

ColumnWidths fitColumns(const ColumnNeeds& needs)
{
    ColumnWidths widths = needs.rule;
    for (int c = 0; c < kGridColumns; ++c)
        if (!isTextColumn(c))
            widths[c] = std::max(widths[c], needs.content[c]);
    int spare = needs.room - std::accumulate(widths.begin(), widths.end(), 0);
    for (const int c : kGivers) {
        if (spare >= 0)
            break;
        const int floor = std::min(widths[c], std::max(needs.header[c], needs.content[c]));
        const int give = std::min(widths[c] - floor, -spare);
        widths[c] -= give;
        spare += give;
    }
    for (const int c : kGivers) {
        if (spare >= 0)
            break;
        const int floor = std::min(widths[c], needs.header[c]);
        const int give = std::min(widths[c] - floor, -spare);
        widths[c] -= give;
        spare += give;
    }
    for (const int c : kTakers) {
        if (spare <= 0)
            break;
        const int take = std::clamp(needs.content[c] - widths[c], 0, spare);
        widths[c] += take;
        spare -= take;
    }
    for (int c = 0; c < kGridColumns; ++c)
        widths[c] = std::max(widths[c], needs.operatorSet[c]);
    return widths;
}

} // namespace app
