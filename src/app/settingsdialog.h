// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Настройки расчёта…": the lab's calculation settings of settings.ini, shown as they are in
// force and edited: the mutation model (off or proportional, with its rate) and the minimum
// allele frequency (off or a value) and θ, the subpopulation correction (off or a value; refused
// beside the mutation model). "Сохранить" hands the choice to `apply`, which checks and
// writes it; a refusal is shown in the dialog, which stays open with the operator's entries.
#include <QDialog>
#include <functional>
#include <optional>

#include "freqdb/labsettings.h"
#include "freqdb/labsettingswriter.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace app {

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    // Returns the reason when the choice was refused, nothing when it was written.
    using Apply = std::function<std::optional<QString>(const freqdb::SettingsChoice&)>;

    SettingsDialog(const freqdb::LabSettings& inForce, const QString& file, Apply apply, QWidget* parent = nullptr);

    freqdb::SettingsChoice choice() const;

    QRadioButton* mutationOff = nullptr;
    QRadioButton* mutationProportional = nullptr;
    QLineEdit* mutationRate = nullptr;
    QCheckBox* minFrequencyBox = nullptr;
    QLineEdit* minFrequency = nullptr;
    QCheckBox* thetaBox = nullptr;
    QLineEdit* theta = nullptr;
    QLabel* refusal = nullptr;
    QPushButton* saveButton = nullptr;

private:
    void save();

    Apply m_apply;
};

} // namespace app
