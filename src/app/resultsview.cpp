// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/resultsview.h"

#include <QAbstractItemDelegate>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>
#include <algorithm>

namespace app {

ResultsView::ResultsView(QWidget* parent) : QTableView(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setContextMenuPolicy(Qt::NoContextMenu); // the pop-up opens only through the press rule
    setTabKeyNavigation(false); // Tab goes on to the result fields, not through 700 cells
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(kRowPitch);
    horizontalHeader()->setFixedHeight(kRowPitch);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setMinimumSectionSize(1);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int newSize) {
        if (!m_fitting && column >= 0 && column < kGridColumns)
            m_operatorSet[static_cast<std::size_t>(column)] = newSize;
    });
}

void ResultsView::setModel(QAbstractItemModel* model)
{
    QTableView::setModel(model);
    if (!model)
        return;
    connect(model, &QAbstractItemModel::dataChanged, this, &ResultsView::fitToTexts);
    connect(model, &QAbstractItemModel::headerDataChanged, this, &ResultsView::fitToTexts);
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

int ResultsView::neededWidth(const QModelIndex& index) const
{
    // Measured by the delegate that draws the cell, as its style lays the text out (hinting,
    // margins), so a column of that width never elides it; the grid line takes one more pixel.
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    return itemDelegateForIndex(index)->sizeHint(option, index).width() + (showGrid() ? 1 : 0);
}

bool ResultsView::showsWholeText(const QModelIndex& index) const
{
    return index.data(Qt::DisplayRole).toString().isEmpty() || neededWidth(index) <= columnWidth(index.column());
}

QString ResultsView::toolTipFor(const QModelIndex& index) const
{
    return showsWholeText(index) ? QString() : index.data(Qt::DisplayRole).toString();
}

void ResultsView::setRuleWidths(const ColumnWidths& widths)
{
    m_rule = widths;
    // A new window size starts from the rule again; the operator's widths stay as minimums.
    fitToTexts();
}

void ResultsView::fitToTexts()
{
    // Nothing to fit before the window has given the rule's widths.
    if (!model() || m_rule == ColumnWidths{})
        return;
    ColumnNeeds needs;
    needs.rule = m_rule;
    needs.operatorSet = m_operatorSet;
    const QFontMetrics headerMetrics(horizontalHeader()->font());
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
    for (int c = 0; c < kGridColumns && c < model()->columnCount(); ++c) {
        const auto k = static_cast<std::size_t>(c);
        needs.header[k]
            = headerMetrics.horizontalAdvance(model()->headerData(c, Qt::Horizontal).toString()) + 2 * margin;
        for (int r = 0; r < model()->rowCount(); ++r) {
            const QModelIndex index = model()->index(r, c);
            if (!index.data(Qt::DisplayRole).toString().isEmpty())
                needs.content[k] = std::max(needs.content[k], neededWidth(index));
        }
    }
    // The room inside the frame, beside the vertical scroll bar the 99 rows always show.
    needs.room = width() - 2 * frameWidth() - verticalScrollBar()->sizeHint().width();
    const ColumnWidths widths = fitColumns(needs);
    m_fitting = true;
    for (int c = 0; c < kGridColumns && c < model()->columnCount(); ++c)
        setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
    m_fitting = false;
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

void ResultsView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        if (currentIndex().isValid())
            emit markKeyPressed(currentIndex().row() + 1);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

bool ResultsView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = toolTipFor(indexAt(help->pos()));
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, viewport(), visualRect(indexAt(help->pos())));
        return true;
    }
    return QTableView::viewportEvent(event);
}

void ResultsView::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    fitToTexts();
}

} // namespace app
