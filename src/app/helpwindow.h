// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The operator's help (data/help.html) in a window of its own, kept open beside the calculator.
#include <QWidget>

class QTextBrowser;

namespace app {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Loads the page; false when the file cannot be read.
    bool showFile(const QString& path);
    QTextBrowser* browser() const { return m_browser; }

private:
    QTextBrowser* m_browser = nullptr;
};

} // namespace app
