// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The results grid widget. It reports every mouse press on its cells, after its own handling,
// in grid client pixels: the client area is the grid inside its frame with the header row at
// the top, so a press at viewport point (x, y) is client point (x, y + header height). The
// header is as high as a data row (kRowPitch, grid line included), so Y > 25 is below the
// first pixel row of row 1, as the grid's press rule expects.
//
// No text is cut without a word: the columns are fitted to their texts (columnfit.h) whenever
// the texts or the rule's widths change, the operator can drag a column wider, and a cell whose
// text still does not fit shows it whole as its tooltip. Tab leaves the grid for the next
// control; Space asks to toggle the mark of the selected row.
#include <QTableView>

#include "app/columnfit.h"

namespace app {

class ResultsView : public QTableView {
    Q_OBJECT
public:
    static constexpr int kRowPitch = 25; // 24 pixels of row and 1 of grid line

    explicit ResultsView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;

    // The client point of a viewport point, and back.
    QPoint clientPoint(QPoint viewportPoint) const;
    QPoint viewportPoint(QPoint clientPoint) const;
    // The grid row (0 header, 1..99 data) under client Y; -1 below the last row.
    int gridRowAt(int clientY) const;

    // The widths the window's resize rule gives; the columns are fitted from them.
    void setRuleWidths(const ColumnWidths& widths);
    // Fits the columns to the texts they hold now.
    void fitToTexts();
    // The width the cell needs to show its text whole (margins and grid line included).
    int neededWidth(const QModelIndex& index) const;
    // Whether the cell shows its whole text; its tooltip is the text when it does not.
    bool showsWholeText(const QModelIndex& index) const;
    QString toolTipFor(const QModelIndex& index) const;

signals:
    void pressed(Qt::MouseButton button, QPoint clientPoint, QPoint globalPoint);
    // Space on the grid: the mark of grid row `row` (1..99) is to be toggled.
    void markKeyPressed(int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    // The second press of a double click arrives as a double-click event; it is reported as
    // the press it is, so two quick presses toggle a mark twice.
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    ColumnWidths m_rule{};
    ColumnWidths m_operatorSet{};
    bool m_fitting = false; // the program is setting the widths, not the operator
};

} // namespace app
