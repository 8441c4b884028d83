// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/importsummarydialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace app {

ImportSummaryDialog::ImportSummaryDialog(const QString& summary, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Импорт таблицы частот: проверка"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Таблица прочитана, ничего не записано. Записать её в папку данных?"), this));
    summaryText = new QPlainTextEdit(summary, this);
    summaryText->setReadOnly(true);
    summaryText->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(summaryText);
    auto* buttons = new QDialogButtonBox(this);
    writeButton = buttons->addButton(tr("Записать"), QDialogButtonBox::AcceptRole);
    cancelButton = buttons->addButton(tr("Отмена"), QDialogButtonBox::RejectRole);
    cancelButton->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(860, 460);
}

} // namespace app
