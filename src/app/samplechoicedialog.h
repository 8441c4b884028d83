// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The choice of the case's persons among the samples of a genotyping export: the alleged father,
// the child and the mother ("Нет" for a duo). Nothing is preselected, since an export also holds
// ladders, controls and other cases' samples; with three samples or more the mother is a choice
// too ("Нет" included), so a forgotten mother does not turn a trio into a duo unseen. OK is
// enabled once every person is chosen and no sample is chosen for two persons; while it is not,
// a line under the choices says what is missing. A chosen sample with no typed marker (a negative
// control) is named there as a warning. The dialog shows how the file was read, each sample's
// number of typed markers and the markers the data folder has no table for.
#include <QDialog>
#include <QStringList>

#include <string>
#include <vector>

#include "profiles/profilecase.h"

class QComboBox;
class QDialogButtonBox;
class QLabel;

namespace app {

class SampleChoiceDialog : public QDialog {
    Q_OBJECT
public:
    // `locusNames`: the loaded loci, to name the export's markers that have no table.
    SampleChoiceDialog(const profiles::GenotypeExport& data, const std::vector<std::string>& locusNames,
                       const QString& fileName, QWidget* parent = nullptr);

    // The persons chosen; meaningful after the dialog was accepted.
    profiles::CaseChoice choice() const;

    QComboBox* fatherBox = nullptr;
    QComboBox* childBox = nullptr;
    QComboBox* motherBox = nullptr; // item 0 is "Нет"
    QLabel* markersLabel = nullptr;
    QLabel* reasonLabel = nullptr; // why OK is disabled, or the warning of an empty sample
    QDialogButtonBox* buttons = nullptr;

private:
    void updateOk();

    QStringList m_emptySamples; // the samples without a typed marker
};

} // namespace app
