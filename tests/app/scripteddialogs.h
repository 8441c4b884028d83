// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dialogs for the window tests: every call is recorded, questions take their answers and file
// dialogs their names from queues filled by the test. An unexpected question or file dialog
// fails the test instead of blocking.
#include <functional>

#include <QDialog>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <QTest>

#include "app/dialogs.h"

namespace app::testing {

struct DialogCall {
    // "information", "error", "question", "choose", "open", "open-table", "open-folder", "save", "document", "dialog"
    QString kind;
    QString title;
    QString text;
    bool withCancel = false;
};

class ScriptedDialogs : public Dialogs {
public:
    void information(QWidget*, const QString& text) override { calls.append({"information", {}, text}); }
    void error(QWidget*, const QString& text) override { calls.append({"error", {}, text}); }

    Answer question(QWidget*, const QString& title, const QString& text, bool withCancel) override
    {
        calls.append({"question", title, text, withCancel});
        if (answers.isEmpty()) {
            QTest::qFail("unexpected question", __FILE__, __LINE__);
            return Answer::Cancel;
        }
        return answers.dequeue();
    }

    // The answer is the index of the button named next in `choices`; the buttons are recorded
    // in the call's title after the title, separated by '|'.
    int choose(QWidget*, const QString& title, const QString& text, const QStringList& buttons) override
    {
        calls.append({"choose", title + '|' + buttons.join('|'), text});
        if (choices.isEmpty()) {
            QTest::qFail("unexpected choice", __FILE__, __LINE__);
            return -1;
        }
        return static_cast<int>(buttons.indexOf(choices.dequeue()));
    }

    QString openFileName(QWidget*, const QString& directory) override
    {
        calls.append({"open", {}, directory});
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    }

    QString openTableFileName(QWidget*, const QString& directory) override
    {
        calls.append({"open-table", {}, directory});
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    }

    QString openGenotypesFileName(QWidget* parent, const QString& directory) override
    {
        return openFileName(parent, directory);
    }

    QString openFolderName(QWidget*, const QString& title, const QString& directory) override
    {
        calls.append({"open-folder", title, directory});
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    }

    // A dialog of the window's own: the next script sets its controls and answers; without one
    // the test fails instead of waiting for a click.
    bool runDialog(QDialog& dialog) override
    {
        calls.append({"dialog", dialog.windowTitle(), {}});
        if (dialogScripts.isEmpty()) {
            QTest::qFail("unexpected dialog", __FILE__, __LINE__);
            return false;
        }
        return dialogScripts.dequeue()(dialog);
    }

    QString saveFileName(QWidget*, const QString& proposedPath) override
    {
        calls.append({"save", {}, proposedPath});
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    }

    bool openDocument(const QString& path) override
    {
        calls.append({"document", {}, path});
        return true;
    }

    // The texts of the calls of one kind, in order.
    QStringList texts(const QString& kind) const
    {
        QStringList result;
        for (const DialogCall& call : calls)
            if (call.kind == kind)
                result << call.text;
        return result;
    }

    QList<DialogCall> calls;
    QQueue<Answer> answers;
    QQueue<QString> choices; // the captions of the buttons chosen, in order
    QQueue<QString> fileNames;
    QQueue<std::function<bool(QDialog&)>> dialogScripts;
};

} // namespace app::testing
