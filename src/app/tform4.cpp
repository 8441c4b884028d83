// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tform4.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace app {

TForm4::TForm4(QWidget* parent)
    : QDialog(parent)
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
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPixelSize(15);
    titleFont.setBold(true);
    titleLabel->setFont(titleFont);

    versionLabel = new QLabel(tr("Версия 0.2"), panel);
    versionLabel->move(50, 97);
    versionLabel->adjustSize();

    okButton = new QPushButton(tr("OK"), this);
    okButton->setGeometry(127, 180, 76, 25);
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace app
