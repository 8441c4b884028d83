// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/resultline.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace app {

ResultLine::ResultLine(QWidget* parent) : QLineEdit(parent)
{
    setReadOnly(true);
}

void ResultLine::showLine(const QString& line)
{
    setText(line);
    setToolTip(line);
    fit();
}

QRect ResultLine::textRoom() const
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    // QLineEdit keeps 2 pixels of horizontal margin inside the contents rectangle.
    const QMargins margins = textMargins();
    return style()
        ->subElementRect(QStyle::SE_LineEditContents, &option, this)
        .adjusted(margins.left() + 2, margins.top(), -margins.right() - 2, -margins.bottom());
}

void ResultLine::fit()
{
    QFont lineFont = font();
    const int room = textRoom().width();
    for (int pixels = kDesignPixels; pixels >= kMinPixels; --pixels) {
        lineFont.setPixelSize(pixels);
        if (QFontMetrics(lineFont).horizontalAdvance(text()) <= room)
            break;
    }
    setFont(lineFont);
    setCursorPosition(0);
    update();
}

QString ResultLine::shownText() const
{
    const QFontMetrics metrics = fontMetrics();
    const int room = textRoom().width();
    const QString line = text();
    if (metrics.horizontalAdvance(line) <= room)
        return line;
    // The words before the first number give way first: "Индекс отцовства (Comb… CPI=260314452368"
    // keeps the number whole, where an ellipsis at the end would cut it into another number.
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals > 0) {
        const qsizetype numbersStart = line.lastIndexOf(QLatin1Char(' '), equals) + 1;
        const QString numbers = line.mid(numbersStart);
        const int numbersWidth = metrics.horizontalAdvance(numbers);
        if (numbersStart > 0 && numbersWidth < room)
            return metrics.elidedText(line.left(numbersStart), Qt::ElideRight, room - numbersWidth) + numbers;
    }
    return metrics.elidedText(line, Qt::ElideRight, room);
}

void ResultLine::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    fit();
}

void ResultLine::paintEvent(QPaintEvent* event)
{
    const QString shown = shownText();
    if (hasFocus() || shown == text()) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionFrame option;
    initStyleOption(&option);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    painter.drawText(textRoom(), Qt::AlignLeft | Qt::AlignVCenter, shown);
}

} // namespace app
