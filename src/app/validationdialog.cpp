// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/validationdialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>

#include "app/filefilters.h"
#include "validation/validationrun.h"

namespace app {

ValidationDialog::ValidationDialog(const QString& tables, const QString& proposedProtocol, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Проверка расчёта (валидация)"));
    auto* layout = new QVBoxLayout(this);
    auto* explanation = new QLabel(tr("Случаи составляются из таблиц частот в работе, каждый считается так же, "
                                      "как в окне, и независимо; протокол сохраняется в PDF для подписи."),
                                   this);
    explanation->setWordWrap(true);
    layout->addWidget(explanation);
    auto* tablesLabel = new QLabel(tables, this);
    tablesLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(tablesLabel);

    auto* form = new QFormLayout;
    casesBox = new QSpinBox(this);
    // Wider than the limit, so that a number too large is refused in words, not cut to fit.
    casesBox->setRange(1, std::numeric_limits<int>::max());
    casesBox->setSingleStep(1000);
    casesBox->setValue(1000);
    form->addRow(tr("Число случаев:"), casesBox);
    seedEdit = new QLineEdit(this);
    seedEdit->setPlaceholderText(tr("новое"));
    form->addRow(tr("Зерно генератора:"), seedEdit);
    auto* protocolRow = new QHBoxLayout;
    protocolEdit = new QLineEdit(proposedProtocol, this);
    protocolEdit->setMinimumWidth(320);
    browseButton = new QPushButton(tr("Обзор…"), this);
    protocolRow->addWidget(protocolEdit);
    protocolRow->addWidget(browseButton);
    form->addRow(tr("Протокол (PDF):"), protocolRow);
    layout->addLayout(form);

    refusal = new QLabel(this);
    refusal->setWordWrap(true);
    refusal->setStyleSheet(QStringLiteral("color: #b00000"));
    refusal->hide();
    layout->addWidget(refusal);

    auto* buttons = new QDialogButtonBox(this);
    startButton = buttons->addButton(tr("Начать"), QDialogButtonBox::AcceptRole);
    buttons->addButton(tr("Отмена"), QDialogButtonBox::RejectRole);
    startButton->setDefault(true);
    layout->addWidget(buttons);
    connect(browseButton, &QPushButton::clicked, this, &ValidationDialog::browse);
    connect(buttons, &QDialogButtonBox::accepted, this, &ValidationDialog::start);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::size_t ValidationDialog::cases() const
{
    return static_cast<std::size_t>(casesBox->value());
}

std::optional<std::uint64_t> ValidationDialog::seed() const
{
    const QString typed = seedEdit->text().trimmed();
    if (typed.isEmpty())
        return std::nullopt;
    bool ok = false;
    const qulonglong value = typed.toULongLong(&ok);
    return ok ? std::optional<std::uint64_t>(value) : std::nullopt;
}

QString ValidationDialog::protocolPath() const
{
    QString path = protocolEdit->text().trimmed();
    if (!path.isEmpty() && QFileInfo(path).suffix().compare(QLatin1String(kReportSuffix), Qt::CaseInsensitive) != 0)
        path += QLatin1Char('.') + QLatin1String(kReportSuffix);
    return path;
}

void ValidationDialog::browse()
{
    const QString chosen = QFileDialog::getSaveFileName(this, tr("Протокол валидации"), protocolPath(),
                                                        reportSaveFilter(), nullptr, QFileDialog::DontConfirmOverwrite);
    if (!chosen.isEmpty())
        protocolEdit->setText(chosen);
}

void ValidationDialog::start()
{
    QString reason;
    bool seedOk = true;
    if (!seedEdit->text().trimmed().isEmpty())
        seedEdit->text().trimmed().toULongLong(&seedOk);
    if (!seedOk)
        reason = tr("Зерно генератора - целое число от 0 до 18446744073709551615 или пусто (новое).");
    else if (static_cast<std::size_t>(casesBox->value()) > validation::kMaxCases)
        reason = tr("Число случаев - от 1 до %1.").arg(validation::kMaxCases);
    else if (protocolPath().isEmpty())
        reason = tr("Укажите файл протокола (PDF).");
    else if (QFileInfo(protocolPath()).isDir())
        reason = tr("«%1» - папка, а не файл протокола.").arg(protocolPath());
    if (!reason.isEmpty()) {
        refusal->setText(reason);
        refusal->show();
        return;
    }
    if (QFileInfo::exists(protocolPath()) && confirmReplace && !confirmReplace(protocolPath())) {
        refusal->setText(tr("Протокол не заменён: укажите другой файл."));
        refusal->show();
        protocolEdit->setFocus();
        return;
    }
    accept();
}

} // namespace app
