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
    return fontMetrics().elidedText(text(), Qt::ElideRight, textRoom().width());
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
