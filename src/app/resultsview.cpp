// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/resultsview.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace app {

ResultsView::ResultsView(QWidget* parent) : QTableView(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setContextMenuPolicy(Qt::NoContextMenu); // the pop-up opens only through the press rule
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(kRowPitch);
    horizontalHeader()->setFixedHeight(kRowPitch);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setMinimumSectionSize(1);
}

QPoint ResultsView::clientPoint(QPoint viewportPoint) const
{
    return {viewportPoint.x(), viewportPoint.y() + horizontalHeader()->height()};
}

QPoint ResultsView::viewportPoint(QPoint clientPoint) const
{
    return {clientPoint.x(), clientPoint.y() - horizontalHeader()->height()};
}

int ResultsView::gridRowAt(int clientY) const
{
    if (clientY < horizontalHeader()->height())
        return 0;
    const int viewRow = rowAt(clientY - horizontalHeader()->height());
    return viewRow < 0 ? -1 : viewRow + 1;
}

void ResultsView::mousePressEvent(QMouseEvent* event)
{
    QTableView::mousePressEvent(event);
    emit pressed(event->button(), clientPoint(event->position().toPoint()), event->globalPosition().toPoint());
}

void ResultsView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Not the base handler: it may itself forward a press to mousePressEvent, which would
    // report this press twice; and nothing in the grid opens on a double click.
    mousePressEvent(event);
}

} // namespace app
