// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every modal question the window asks the operator goes through Dialogs: message boxes, the
// open and save file dialogs and handing a document to the desktop's default application.
// The program uses WidgetDialogs; the window tests answer through a scripted implementation, so
// no nested event loop ever waits for a click that cannot come.
#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

namespace app {

enum class Answer { Yes, No, Cancel };

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A bad entry: a modal box with the text and an OK button.
    virtual void information(QWidget* parent, const QString& text) = 0;
    // An error a command could not handle: the application's error box with the error's text.
    virtual void error(QWidget* parent, const QString& text) = 0;
    // Yes/No, or Yes/No/Cancel when withCancel; no icon. Closing the box answers Cancel (or No
    // when there is no Cancel button).
    virtual Answer question(QWidget* parent, const QString& title, const QString& text, bool withCancel = false) = 0;
    // A question whose answers are the `buttons` named, the first the default; returns the
    // chosen button's index, or -1 when the box was closed without one (Esc).
    virtual int choose(QWidget* parent, const QString& title, const QString& text, const QStringList& buttons) = 0;

    // File dialogs; an empty result means the operator cancelled.
    virtual QString openFileName(QWidget* parent, const QString& directory) = 0;
    // A lab's allele-frequency table to import (delimited text, a workbook, an XML export).
    virtual QString openTableFileName(QWidget* parent, const QString& directory) = 0;
    // The same for "Генотипы и рассчитать LR", which also offers genotyping exports.
    virtual QString openGenotypesFileName(QWidget* parent, const QString& directory) = 0;
    // A folder (the archive run's cases and results); empty when the operator cancelled.
    virtual QString openFolderName(QWidget* parent, const QString& title, const QString& directory) = 0;
    // Does not ask about overwriting: the caller asks (in Russian) through question().
    virtual QString saveFileName(QWidget* parent, const QString& proposedPath) = 0;

    // Runs one of the window's own modal dialogs (the choice of samples); true when accepted.
    virtual bool runDialog(QDialog& dialog) = 0;

    // Opens a document in the desktop's default application; false when that failed.
    virtual bool openDocument(const QString& path) = 0;
};

} // namespace app
