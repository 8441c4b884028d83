// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/helpwindow.h"

#include <QFile>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace app {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(tr("Справка"));
    m_browser = new QTextBrowser(this);
    m_browser->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(720, 600);
}

bool HelpWindow::showFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    file.close();
    m_browser->setSource(QUrl::fromLocalFile(path), QTextDocument::HtmlResource);
    show();
    raise();
    activateWindow();
    return true;
}

} // namespace app
