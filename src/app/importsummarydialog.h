// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Импорт таблицы частот…", third step: the check's summary, the same text the import command
// prints (loci, workbooks, alleles, sums, warnings). "Записать" writes, "Отмена" leaves the
// data folder as it is.
#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace app {

class ImportSummaryDialog : public QDialog {
    Q_OBJECT
public:
    ImportSummaryDialog(const QString& summary, QWidget* parent = nullptr);

    QPlainTextEdit* summaryText = nullptr;
    QPushButton* writeButton = nullptr; // "Записать"
    QPushButton* cancelButton = nullptr; // "Отмена"
};

} // namespace app
