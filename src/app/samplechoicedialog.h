// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The choice of the case's persons among the samples of a genotyping export: the alleged father,
// the child and the mother ("Нет" for a duo). Nothing is preselected, since an export also holds
// ladders, controls and other cases' samples; OK is enabled once father and child are chosen and
// no sample is chosen for two persons. The dialog shows how the file was read, each sample's
// number of typed markers and the markers the data folder has no table for.
#include <QDialog>

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
    QDialogButtonBox* buttons = nullptr;

private:
    void updateOk();
};

} // namespace app
