// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Импорт таблицы частот…", second step: the population the table is for and the options of the
// import command (--origin NAME, --new-loci, --prune) as check boxes. "Проверить" goes on to the
// check of the table, which writes nothing.
#include <QDialog>

#include "popimport/importrun.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace app {

class ImportOptionsDialog : public QDialog {
    Q_OBJECT
public:
    ImportOptionsDialog(const QString& tableFile, QWidget* parent = nullptr);

    // The import the operator asked for, of `table`.
    popimport::ImportChoice choice(const std::filesystem::path& table) const;

    QRadioButton* russians = nullptr;
    QRadioButton* usCaucasians = nullptr;
    QRadioButton* usBlacks = nullptr;
    QCheckBox* originBox = nullptr;
    QLineEdit* originName = nullptr;
    QCheckBox* newLociBox = nullptr;
    QCheckBox* pruneBox = nullptr;
    QPushButton* checkButton = nullptr;
};

} // namespace app
