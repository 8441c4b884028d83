// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The widths of the results grid's seven columns. The window's resize rule gives each column its
// share of the grid; fitColumns() then makes sure no number is cut: the columns of numbers
// (№, the two frequencies, LR, the mark) are never narrower than their longest text, and the room
// they take beyond their share comes from the two text columns (locus, formula), down to their
// header's width. Spare room goes to the text columns, up to their longest text, so they show
// more as the window grows. A text column still too narrow shows an ellipsis and its whole text
// as the cell's tooltip. A width the operator dragged a column to is kept as its minimum.
#include <array>

namespace app {

inline constexpr int kGridColumns = 7;
using ColumnWidths = std::array<int, kGridColumns>;

struct ColumnNeeds {
    ColumnWidths rule{}; // the resize rule's widths
    ColumnWidths content{}; // the width the longest cell text of each column needs
    ColumnWidths header{}; // the width each header text needs
    ColumnWidths operatorSet{}; // a width the operator dragged the column to; 0 where none
    int room = 0; // the grid's viewport width
};

ColumnWidths fitColumns(const ColumnNeeds& needs);

} // namespace app
