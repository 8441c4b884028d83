// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recoverykeeper.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTimer>
#include <exception>

#include "app/dialogs.h"

namespace app {

RecoveryKeeper::RecoveryKeeper(std::unique_ptr<exchange::RecoveryFile> file, WriterFactory writerFactory,
                               Dialogs& dialogs, std::function<casestate::RecoveryContents()> snapshot, QObject* parent)
    : QObject(parent), m_file(std::move(file)), m_writerFactory(std::move(writerFactory)), m_dialogs(dialogs),
      m_snapshot(std::move(snapshot))
{
}

RecoveryKeeper::~RecoveryKeeper() = default;

void RecoveryKeeper::changed()
{
    if (m_pending)
        return;
    m_pending = true;
    QTimer::singleShot(0, this, &RecoveryKeeper::writeNow);
}

void RecoveryKeeper::writeNow()
{
    if (!m_pending)
        return;
    m_pending = false;
    const casestate::RecoveryContents state = m_snapshot();
    try {
        const std::unique_ptr<automation::WorkbookWriter> writer = m_writerFactory();
        m_file->write(*state.grid, state.cpiLine, state.probabilityLine, state.population, state.prior,
                      state.exportLines, *writer);
    } catch (const std::exception& error) {
        // The operator goes on working; he is told once that a crash would now lose the rows.
        if (!m_failureShown) {
            m_failureShown = true;
            m_dialogs.error(nullptr, tr("Не удалось сохранить копию для восстановления:") + '\n'
                                         + QString::fromUtf8(error.what()));
        }
    }
}

void RecoveryKeeper::done()
{
    m_pending = false;
    m_file->remove();
}

QString RecoveryKeeper::question(const QDateTime& written)
{
    return tr("Восстановить несохранённые результаты от %1?")
        .arg(written.toString(QStringLiteral("dd.MM.yyyy, hh:mm")));
}

void RecoveryKeeper::offer(QWidget* parent, const std::function<bool(const std::filesystem::path&)>& take)
{
    for (const std::filesystem::path& orphan : m_file->claimOrphans()) {
        const QString path = QString::fromStdU16String(orphan.u16string());
        const QString text = question(QFileInfo(path).lastModified());
        try {
            if (m_dialogs.question(parent, tr("Восстановление"), text) == Answer::Yes && take(orphan)) {
                m_file->discard(orphan);
                return;
            }
            m_file->setAside(orphan);
        } catch (const std::exception& error) {
            m_dialogs.error(parent, QString::fromUtf8(error.what()));
        }
    }
}

} // namespace app
