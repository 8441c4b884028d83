// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Проверка расчёта (валидация)…": what the validation will run on (the population and the
// settings in force, shown as they are), the number of cases, the seed (empty: a new one, printed
// in the protocol so the run can be repeated) and the PDF the protocol is saved to. "Начать"
// accepts only a usable choice; what is wrong is said in the dialog, which stays open. A protocol
// file that exists is replaced only when `confirmReplace` says so; otherwise the dialog stays open
// with the operator's entries, for another file name.
#include <QDialog>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace app {

class ValidationDialog : public QDialog {
    Q_OBJECT
public:
    // `tables`: the population and settings in force, one line each.
    ValidationDialog(const QString& tables, const QString& proposedProtocol, QWidget* parent = nullptr);

    std::size_t cases() const;
    std::optional<std::uint64_t> seed() const; // none: a new seed
    QString protocolPath() const; // ends with .pdf

    QSpinBox* casesBox = nullptr;
    QLineEdit* seedEdit = nullptr;
    QLineEdit* protocolEdit = nullptr;
    QPushButton* browseButton = nullptr;
    QLabel* refusal = nullptr;
    QPushButton* startButton = nullptr;

    // Asked when the protocol file exists: true replaces it.
    std::function<bool(const QString& path)> confirmReplace;

private:
    void browse();
    void start();
};

} // namespace app
