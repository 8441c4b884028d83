// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The results grid widget. It reports every mouse press on its cells, after its own handling,
// in grid client pixels: the client area is the grid inside its frame with the header row at
// the top, so a press at viewport point (x, y) is client point (x, y + header height). The
// header is as high as a data row (kRowPitch, grid line included), so Y > 25 is below the
// first pixel row of row 1, as the grid's press rule expects.
#include <QTableView>

namespace app {

class ResultsView : public QTableView {
    Q_OBJECT
public:
    static constexpr int kRowPitch = 25; // 24 pixels of row and 1 of grid line

    explicit ResultsView(QWidget* parent = nullptr);

    // The client point of a viewport point, and back.
    QPoint clientPoint(QPoint viewportPoint) const;
    QPoint viewportPoint(QPoint clientPoint) const;
    // The grid row (0 header, 1..99 data) under client Y; -1 below the last row.
    int gridRowAt(int clientY) const;

signals:
    void pressed(Qt::MouseButton button, QPoint clientPoint, QPoint globalPoint);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    // The second press of a double click arrives as a double-click event; it is reported as
    // the press it is, so two quick presses toggle a mark twice.
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

} // namespace app
