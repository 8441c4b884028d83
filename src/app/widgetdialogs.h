// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dialogs over QMessageBox, QFileDialog and QDesktopServices: what the operator sees.
#include "app/dialogs.h"

namespace app {

class WidgetDialogs : public Dialogs {
public:
    void information(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
    Answer question(QWidget* parent, const QString& title, const QString& text, bool withCancel) override;
    int choose(QWidget* parent, const QString& title, const QString& text, const QStringList& buttons) override;
    QString openFileName(QWidget* parent, const QString& directory) override;
    QString openTableFileName(QWidget* parent, const QString& directory) override;
    QString openGenotypesFileName(QWidget* parent, const QString& directory) override;
    QString openFolderName(QWidget* parent, const QString& title, const QString& directory) override;
    QString saveFileName(QWidget* parent, const QString& proposedPath) override;
    bool runDialog(QDialog& dialog) override;
    bool openDocument(const QString& path) override;
};

} // namespace app
