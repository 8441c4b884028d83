// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Импорт таблицы частот…", second step: the population the table is for and the options of the
// import command (--origin NAME, --new-loci, --prune) as check boxes. "Проверить" goes on to the
// check of the table, which writes nothing. A table the check refuses keeps the dialog open with
// the operator's choices and the reason beneath them, worded with the check boxes' names.
#include <QDialog>
#include <functional>
#include <optional>

#include "popimport/importrun.h"

class QCheckBox;
class QLabel;
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
    // Shows `population` as the table's.
    void choosePopulation(freqdb::Population population);

    // A refusal of the import command in the window's words: the options named by their check
    // boxes.
    QString inWindowTerms(const QString& refusal) const;

    // Run on "Проверить": the reason the table was refused, or nothing to go on.
    std::function<std::optional<QString>()> check;

    QRadioButton* russians = nullptr;
    QRadioButton* usCaucasians = nullptr;
    QRadioButton* usBlacks = nullptr;
    QCheckBox* originBox = nullptr;
    QLineEdit* originName = nullptr;
    QCheckBox* newLociBox = nullptr;
    QCheckBox* pruneBox = nullptr;
    QPushButton* checkButton = nullptr;
    QLabel* refusal = nullptr;

private:
    void checkTable();
};

} // namespace app
