// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dialogs for the window tests: every call is recorded, questions take their answers and file
// dialogs their names from queues filled by the test. An unexpected question or file dialog
// fails the test instead of blocking.
#include <QQueue>
#include <QString>
#include <QStringList>
#include <QTest>

#include "app/dialogs.h"

namespace app::testing {

struct DialogCall {
    QString kind; // "information", "error", "question", "open", "open-table", "save", "document"
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
    QQueue<QString> fileNames;
};

} // namespace app::testing
