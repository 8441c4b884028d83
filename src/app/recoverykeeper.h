// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Keeps the window's case in its recovery file (exchange::RecoveryFile) and offers the case of a
// window that ended without saving. A change of the table asks for a write; the write follows
// as soon as the command that made the change has finished, so it sees the table as the command
// left it, and several changes of one command give one write. A failed write is reported once.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "app/mainwindow.h"
#include "casestate/casestate.h"
#include "exchange/recoveryfile.h"

class QDateTime;
class QWidget;

namespace app {

class Dialogs;

class RecoveryKeeper : public QObject {
    Q_OBJECT
public:
    RecoveryKeeper(std::unique_ptr<exchange::RecoveryFile> file, WriterFactory writerFactory, Dialogs& dialogs,
                   std::function<casestate::RecoveryContents()> snapshot, QObject* parent = nullptr);
    ~RecoveryKeeper() override;

    // The table changed: its state is written once the current command is done.
    void changed();
    // The case is in a workbook, or the window closed on the operator's word.
    void done();
    // Offers the recovery files of windows no longer running, the most recent first, with
    // "Восстановить несохранённые результаты от <дата, время>?". Yes hands the case to `take`
    // (which returns false when it could not be read) and removes the file; No sets the file
    // aside. After a case was taken the others stay for the next start.
    void offer(QWidget* parent, const std::function<bool(const std::filesystem::path&)>& take);

    // The question for a file written at `written` (local time).
    static QString question(const QDateTime& written);
    const exchange::RecoveryFile& file() const { return *m_file; }

private:
    void writeNow();

    std::unique_ptr<exchange::RecoveryFile> m_file;
    WriterFactory m_writerFactory;
    Dialogs& m_dialogs;
    std::function<casestate::RecoveryContents()> m_snapshot;
    bool m_pending = false;
    bool m_failureShown = false;
};

} // namespace app
