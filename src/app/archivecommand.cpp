// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/archivecommand.h"

#include <QProgressDialog>
#include <QStringList>
#include <exception>
#include <sstream>
#include <system_error>

#include "app/archiverundialog.h"
#include "app/dialogs.h"
#include "archive/archiverun.h"
#include "archive/earlierresults.h"
#include "archive/summaryfile.h"
#include "engine/combinedindex.h"
#include "freqdb/labsettings.h"
#include "report/evaluatedcasereport.h"

namespace app {
namespace {

QString fromPath(const std::filesystem::path& path)
{
    return QString::fromStdU16String(path.u16string());
}

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Notes of the reader shown under the counts, at most this many lines.
constexpr int kShownNotes = 10;

} // namespace

ArchiveCommand::ArchiveCommand(QWidget* window, Dialogs& dialogs, const automation::WorkbookReader& reader)
    : m_window(window), m_dialogs(dialogs), m_reader(reader)
{
}

QString ArchiveCommand::inForceText(const ArchiveInForce& inForce) const
{
    QStringList lines;
    lines << tr("Популяция: %1").arg(qs(freqdb::populationName(inForce.population)));
    lines << tr("Папка данных: %1").arg(fromPath(inForce.dataFolder));
    const freqdb::LabSettings& settings = inForce.table->settings();
    if (settings.any()) {
        for (const auto& [label, value] : freqdb::settingsLines(settings))
            lines << qs(label) + ": " + qs(value);
    } else {
        lines << tr("Настройки расчёта: не заданы (без модели мутаций, минимальной частоты и θ)");
    }
    lines << tr("Априорная вероятность отцовства: %1").arg(QString::fromStdString(inForce.prior));
    return lines.join('\n');
}

void ArchiveCommand::run(const ArchiveInForce& inForce, const std::filesystem::path& startFolder)
{
    // A prior the window would refuse is refused before any case is read.
    const engine::CombinedIndexResult priorCheck
        = engine::CombineIndex({{"1", "1", "++"}}, inForce.prior, *inForce.format);
    if (priorCheck.status == engine::CombinedIndexStatus::BadPrior) {
        m_dialogs.information(m_window, QString::fromStdString(priorCheck.message));
        return;
    }
    const std::string prior = priorCheck.priorReset ? inForce.format->general(0.5L) : inForce.prior;

    ArchiveRunDialog dialog(inForceText({inForce.table, inForce.population, inForce.dataFolder, prior, inForce.format}),
                            fromPath(startFolder), m_dialogs, m_window);
    if (!m_dialogs.runDialog(dialog))
        return;
    const std::filesystem::path cases = dialog.casesPath();
    std::filesystem::path results = dialog.resultsPath();
    std::error_code ec;
    if (!std::filesystem::is_directory(cases, ec)) {
        m_dialogs.information(m_window, tr("Папка с книгами генотипов не найдена: %1").arg(fromPath(cases)));
        return;
    }
    // Results of an earlier run, computed with the tables and settings of then, are not mixed
    // with this run's unasked.
    std::vector<archive::ResultFile> earlier = archive::resultFilesIn(results);
    if (!earlier.empty()) {
        const std::filesystem::path fresh = archive::freshFolderBeside(results);
        const int answer = m_dialogs.choose(
            m_window, tr("Расчёт архива дел"),
            tr("В папке результатов %1 уже есть результаты прежнего запуска (файлов: %2), рассчитанные с "
               "таблицами и настройками того запуска.\n\n"
               "«Новая папка»: записать результаты этого запуска в новую папку %3.\n"
               "«Заменить»: записать в эту папку; файлы дел этого запуска заменяются, остальные остаются "
               "от прежнего запуска.")
                .arg(fromPath(results))
                .arg(earlier.size())
                .arg(fromPath(fresh)),
            {tr("Новая папка"), tr("Заменить"), tr("Отмена")});
        if (answer == 0) {
            results = fresh;
            earlier.clear();
        } else if (answer != 1) {
            return;
        }
    }

    archive::ArchiveRequest request;
    request.cases = {cases};
    request.outputDir = results;
    if (dialog.withReports())
        request.reportDir = results;
    request.population = inForce.population;
    request.prior = prior;

    QProgressDialog progress(tr("Расчёт архива дел…"), tr("Отмена"), 0, 1, m_window);
    progress.setWindowTitle(tr("Расчёт архива дел"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    progress.setMinimumWidth(420);
    // Asked before every case: the dialog shows which, and "Отмена" stops the run there.
    const archive::CaseProgress onCase = [&](std::size_t done, std::size_t total, const std::filesystem::path& next) {
        progress.setMaximum(static_cast<int>(total));
        progress.setLabelText(tr("Дело %1 из %2: %3").arg(done + 1).arg(total).arg(fromPath(next.filename())));
        progress.setValue(static_cast<int>(done));
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    };
    // Shown at once: the first case, with its report, may take a moment.
    progress.show();
    std::ostringstream notes;
    const archive::ArchiveResult result
        = archive::runArchive(request, {inForce.table, inForce.dataFolder, &m_reader, inForce.format},
                              report::writeEvaluatedCaseReport, onCase, notes);
    progress.close();
    if (!result.folderFailure.empty()) {
        m_dialogs.error(m_window, QString::fromStdString(result.folderFailure));
        return;
    }

    QString summaryFailure;
    try {
        archive::writeSummaryCsvFile(
            results / std::filesystem::path(std::string(archive::kSummaryFileName)),
            archive::runIdentity(*inForce.table, inForce.dataFolder, inForce.population, prior), result.cases);
    } catch (const std::exception& error) {
        summaryFailure = QString::fromUtf8(error.what());
    }
    QString text
        = summaryText(result, results, dialog.withReports(), summaryFailure, archive::leftFromEarlierRun(earlier));
    const QStringList noteLines = QString::fromStdString(notes.str()).split('\n', Qt::SkipEmptyParts);
    if (!noteLines.isEmpty()) {
        text += "\n\n" + tr("Замечания при чтении книг:") + '\n' + noteLines.mid(0, kShownNotes).join('\n');
        if (noteLines.size() > kShownNotes)
            text += '\n' + tr("… и ещё %1").arg(noteLines.size() - kShownNotes);
    }
    text += "\n\n" + tr("Открыть папку результатов?");
    if (m_dialogs.question(m_window, tr("Расчёт архива дел"), text) == Answer::Yes
        && !m_dialogs.openDocument(fromPath(results)))
        m_dialogs.error(m_window, tr("Не удалось открыть папку %1.").arg(fromPath(results)));
}

QString ArchiveCommand::summaryText(const archive::ArchiveResult& result, const std::filesystem::path& resultsFolder,
                                    bool withReports, const QString& summaryFailure,
                                    const std::vector<std::filesystem::path>& leftOver)
{
    using archive::CaseOutcome;
    QStringList lines;
    lines << (result.stopped ? tr("Расчёт архива прерван.") : tr("Расчёт архива завершён."));
    lines << tr("Дел: %1. Рассчитано: %2; с оговорками (неполный расчёт): %3; с ошибками: %4.")
                 .arg(result.cases.size())
                 .arg(result.count(CaseOutcome::Evaluated))
                 .arg(result.count(CaseOutcome::Incomplete))
                 .arg(result.count(CaseOutcome::Failed));
    if (result.stopped)
        lines << tr("Не обработано (запуск прерван): %1.").arg(result.count(CaseOutcome::NotProcessed));
    // The cases that failed by name, so that the operator need not search the summary for them.
    QStringList failed;
    for (const archive::CaseSummary& c : result.cases)
        if (c.outcome == CaseOutcome::Failed)
            failed << fromPath(c.file.filename()) + ": " + QString::fromStdString(c.status);
    if (!failed.isEmpty()) {
        lines << tr("С ошибками:") << failed.mid(0, kShownNotes);
        if (failed.size() > kShownNotes)
            lines << tr("… и ещё %1").arg(failed.size() - kShownNotes);
    }
    if (!leftOver.empty()) {
        QStringList names;
        for (const std::filesystem::path& file : leftOver)
            names << fromPath(file.filename());
        lines << tr("Файлов прежнего запуска не обновлено (рассчитаны с прежними таблицами и настройками): %1: %2")
                     .arg(leftOver.size())
                     .arg(names.mid(0, kShownNotes).join(QStringLiteral(", "))
                          + (names.size() > kShownNotes ? tr(" … и ещё %1").arg(names.size() - kShownNotes)
                                                        : QString()));
    }
    const QString folder = fromPath(resultsFolder);
    lines << (withReports ? tr("Книги результатов и отчёты PDF: %1").arg(folder)
                          : tr("Книги результатов: %1").arg(folder));
    if (summaryFailure.isEmpty())
        lines << tr("Сводка по делам: %1")
                     .arg(fromPath(resultsFolder / std::filesystem::path(std::string(archive::kSummaryFileName))));
    else
        lines << summaryFailure;
    return lines.join('\n');
}

} // namespace app
