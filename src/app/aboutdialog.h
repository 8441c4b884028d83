// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The About box: the program's name, purpose and version. Created once, hidden between uses.
#include <QDialog>

class QLabel;
class QPushButton;

namespace app {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    QLabel* titleLabel = nullptr;
    QLabel* versionLabel = nullptr;
    QPushButton* okButton = nullptr;
};

} // namespace app
