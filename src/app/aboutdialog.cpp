// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/aboutdialog.h"

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "version/projectversion.h"

namespace app {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Kinora"));
    setFixedSize(330, 218);

    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setLineWidth(2);
    panel->setGeometry(80, 20, 169, 125);

    titleLabel = new QLabel(tr("Программа расчета индекса и вероятности отцовства"), panel);
    titleLabel->setGeometry(15, 16, 140, 72);
    titleLabel->setAlignment(Qt::AlignCenter);
    titleLabel->setWordWrap(true);
    // Arial bold 15 pixels as designed; where the machine substitutes a wider face, the font
    // shrinks until every wrapped line of the title shows inside the label.
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setBold(true);
    const QRect room = titleLabel->contentsRect();
    for (int pixels = 15; pixels >= 10; --pixels) {
        titleFont.setPixelSize(pixels);
        const QRect needed
            = QFontMetrics(titleFont).boundingRect(room, Qt::AlignCenter | Qt::TextWordWrap, titleLabel->text());
        if (needed.height() <= room.height() && needed.width() <= room.width())
            break;
    }
    titleLabel->setFont(titleFont);

    versionLabel = new QLabel(tr("Версия %1").arg(QString::fromLatin1(version::kShortVersion)), panel);
    versionLabel->move(50, 97);
    versionLabel->adjustSize();

    okButton = new QPushButton(tr("OK"), this);
    okButton->setGeometry(127, 180, 76, 25);
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace app
