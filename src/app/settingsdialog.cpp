// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settingsdialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace app {

SettingsDialog::SettingsDialog(const freqdb::LabSettings& inForce, const QString& file, Apply apply, QWidget* parent)
    : QDialog(parent), m_apply(std::move(apply))
{
    setWindowTitle(tr("Настройки расчёта"));
    auto* layout = new QVBoxLayout(this);

    auto* mutation = new QGroupBox(tr("Модель мутаций (для локусов, где иначе «Отцовство исключается»)"), this);
    auto* mutationLayout = new QVBoxLayout(mutation);
    mutationOff = new QRadioButton(tr("Не применять: вердикт исключения"), mutation);
    mutationProportional = new QRadioButton(tr("Пропорциональная модель: LR с учётом мутации"), mutation);
    auto* rateRow = new QHBoxLayout;
    mutationRate = new QLineEdit(QString::fromStdString(inForce.mutationRateText), mutation);
    rateRow->addWidget(new QLabel(tr("Частота мутаций μ на одну передачу:"), mutation));
    rateRow->addWidget(mutationRate);
    mutationLayout->addWidget(mutationOff);
    mutationLayout->addWidget(mutationProportional);
    mutationLayout->addLayout(rateRow);
    (inForce.mutationOn() ? mutationProportional : mutationOff)->setChecked(true);
    mutationRate->setEnabled(inForce.mutationOn());
    connect(mutationProportional, &QRadioButton::toggled, mutationRate, &QLineEdit::setEnabled);
    layout->addWidget(mutation);

    auto* minimum = new QGroupBox(tr("Минимальная частота аллели"), this);
    auto* minimumLayout = new QHBoxLayout(minimum);
    minFrequencyBox = new QCheckBox(tr("Поднимать частоты ниже минимума до"), minimum);
    minFrequency = new QLineEdit(QString::fromStdString(inForce.minFrequencyText), minimum);
    minFrequency->setPlaceholderText(tr("например, 0,0069"));
    minFrequencyBox->setChecked(inForce.minFrequency.has_value());
    minFrequency->setEnabled(inForce.minFrequency.has_value());
    connect(minFrequencyBox, &QCheckBox::toggled, minFrequency, &QLineEdit::setEnabled);
    minimumLayout->addWidget(minFrequencyBox);
    minimumLayout->addWidget(minFrequency);
    layout->addWidget(minimum);

    auto* correction = new QGroupBox(tr("Поправка θ на подразделённость популяции"), this);
    auto* correctionLayout = new QHBoxLayout(correction);
    thetaBox = new QCheckBox(tr("Применять θ ="), correction);
    theta = new QLineEdit(QString::fromStdString(inForce.thetaText), correction);
    theta->setPlaceholderText(tr("например, 0,01"));
    thetaBox->setChecked(inForce.theta.has_value());
    theta->setEnabled(inForce.theta.has_value());
    connect(thetaBox, &QCheckBox::toggled, theta, &QLineEdit::setEnabled);
    correctionLayout->addWidget(thetaBox);
    correctionLayout->addWidget(theta);
    layout->addWidget(correction);

    auto* where = new QLabel(tr("Файл: %1. Комментарии в нём сохраняются; после записи таблицы частот "
                                "загружаются заново и строки пересчитываются.")
                                 .arg(file),
                             this);
    where->setWordWrap(true);
    layout->addWidget(where);
    refusal = new QLabel(this);
    refusal->setWordWrap(true);
    refusal->setStyleSheet(QStringLiteral("color: #b00000"));
    refusal->hide();
    layout->addWidget(refusal);

    auto* buttons = new QDialogButtonBox(this);
    saveButton = buttons->addButton(tr("Сохранить"), QDialogButtonBox::AcceptRole);
    buttons->addButton(tr("Отмена"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(560);
    adjustSize();
}

freqdb::SettingsChoice SettingsDialog::choice() const
{
    freqdb::SettingsChoice out;
    out.mutationModel
        = mutationProportional->isChecked() ? freqdb::MutationModel::Proportional : freqdb::MutationModel::Off;
    out.mutationRate = mutationRate->text().trimmed().toStdString();
    out.minFrequency = minFrequencyBox->isChecked() ? minFrequency->text().trimmed().toStdString() : "off";
    out.theta = thetaBox->isChecked() ? theta->text().trimmed().toStdString() : "off";
    return out;
}

void SettingsDialog::save()
{
    const std::optional<QString> refused = m_apply(choice());
    if (!refused) {
        accept();
        return;
    }
    refusal->setText(*refused);
    refusal->show();
    // The refusal grows the dialog instead of squeezing the choices.
    adjustSize();
}

} // namespace app
