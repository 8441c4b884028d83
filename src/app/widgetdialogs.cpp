// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widgetdialogs.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include "app/filefilters.h"

namespace app {

namespace {

QString applicationTitle()
{
    return QCoreApplication::applicationName();
}

} // namespace

void WidgetDialogs::information(QWidget* parent, const QString& text)
{
    QMessageBox::information(parent, applicationTitle(), text, QMessageBox::Ok);
}

void WidgetDialogs::error(QWidget* parent, const QString& text)
{
    QMessageBox::critical(parent, applicationTitle(), text, QMessageBox::Ok);
}

Answer WidgetDialogs::question(QWidget* parent, const QString& title, const QString& text, bool withCancel)
{
    QMessageBox box(QMessageBox::NoIcon, title, text,
                    withCancel ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
                               : QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::No);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return withCancel ? Answer::Cancel : Answer::No;
    }
}

int WidgetDialogs::choose(QWidget* parent, const QString& title, const QString& text, const QStringList& buttons)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, parent);
    QList<QAbstractButton*> shown;
    for (const QString& caption : buttons)
        shown << box.addButton(caption, QMessageBox::ActionRole);
    if (!shown.isEmpty())
        box.setDefaultButton(qobject_cast<QPushButton*>(shown.first()));
    // Esc closes the box without a choice.
    auto* escape = box.addButton(QMessageBox::Cancel);
    escape->hide();
    box.setEscapeButton(escape);
    box.exec();
    return static_cast<int>(shown.indexOf(box.clickedButton()));
}

QString WidgetDialogs::openFileName(QWidget* parent, const QString& directory)
{
    return QFileDialog::getOpenFileName(parent, QString(), directory, openFilter());
}

QString WidgetDialogs::openTableFileName(QWidget* parent, const QString& directory)
{
    return QFileDialog::getOpenFileName(parent, QObject::tr("Таблица частот аллелей"), directory, tableOpenFilter());
}

QString WidgetDialogs::openGenotypesFileName(QWidget* parent, const QString& directory)
{
    return QFileDialog::getOpenFileName(parent, QString(), directory, genotypesOpenFilter());
}

QString WidgetDialogs::openFolderName(QWidget* parent, const QString& title, const QString& directory)
{
    return QFileDialog::getExistingDirectory(parent, title, directory);
}

bool WidgetDialogs::runDialog(QDialog& dialog)
{
    return dialog.exec() == QDialog::Accepted;
}

QString WidgetDialogs::saveFileName(QWidget* parent, const QString& proposedPath)
{
    QFileDialog dialog(parent, QString(), proposedPath, saveFilter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString::fromLatin1(kSaveSuffix));
    // A name typed without an extension takes that of the chosen type.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(QString::fromLatin1(filter == reportSaveFilter() ? kReportSuffix : kSaveSuffix));
    });
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(proposedPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

bool WidgetDialogs::openDocument(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace app
