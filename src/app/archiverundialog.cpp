// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/archiverundialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs.h"
#include "archive/casesummary.h"
#include "archive/summaryfile.h"

namespace app {

ArchiveRunDialog::ArchiveRunDialog(const QString& inForce, const QString& startFolder, Dialogs& dialogs,
                                   QWidget* parent)
    : QDialog(parent), m_dialogs(dialogs), m_startFolder(startFolder)
{
    setWindowTitle(tr("Расчёт архива дел"));
    auto* layout = new QVBoxLayout(this);

    auto* folders = new QGridLayout;
    casesFolder = new QLineEdit(this);
    browseCases = new QPushButton(tr("Обзор…"), this);
    resultsFolder = new QLineEdit(this);
    browseResults = new QPushButton(tr("Обзор…"), this);
    folders->addWidget(new QLabel(tr("Папка с книгами генотипов:"), this), 0, 0);
    folders->addWidget(casesFolder, 0, 1);
    folders->addWidget(browseCases, 0, 2);
    folders->addWidget(new QLabel(tr("Папка для результатов:"), this), 1, 0);
    folders->addWidget(resultsFolder, 1, 1);
    folders->addWidget(browseResults, 1, 2);
    layout->addLayout(folders);

    pdfReports = new QCheckBox(tr("Отчёт PDF для каждого дела"), this);
    layout->addWidget(pdfReports);

    auto* what
        = new QLabel(tr("Каждая книга папки (.xlsx, .xls, .ods) рассчитывается как «Генотипы и рассчитать LR»; "
                        "все строки с LR отмечаются и перемножаются. В папку результатов записываются "
                        "книги «<дело>%1», отчёты «<дело>%2» и сводка «%3».")
                         .arg(QString::fromUtf8(archive::kResultsSuffix.data(), archive::kResultsSuffix.size()),
                              QString::fromUtf8(archive::kReportSuffix.data(), archive::kReportSuffix.size()),
                              QString::fromUtf8(archive::kSummaryFileName.data(), archive::kSummaryFileName.size())),
                     this);
    what->setWordWrap(true);
    layout->addWidget(what);
    inForceText = new QLabel(inForce, this);
    inForceText->setWordWrap(true);
    inForceText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(inForceText);

    auto* buttons = new QDialogButtonBox(this);
    startButton = buttons->addButton(tr("Начать"), QDialogButtonBox::AcceptRole);
    buttons->addButton(tr("Отмена"), QDialogButtonBox::RejectRole);
    startButton->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(casesFolder, &QLineEdit::textChanged, this, &ArchiveRunDialog::casesChanged);
    connect(resultsFolder, &QLineEdit::textEdited, this, [this] { m_resultsChosen = true; });
    connect(resultsFolder, &QLineEdit::textChanged, this, [this] {
        startButton->setEnabled(!casesFolder->text().trimmed().isEmpty() && !resultsFolder->text().trimmed().isEmpty());
    });
    connect(browseCases, &QPushButton::clicked, this, &ArchiveRunDialog::chooseCases);
    connect(browseResults, &QPushButton::clicked, this, &ArchiveRunDialog::chooseResults);
    setMinimumWidth(620);
    adjustSize();
}

void ArchiveRunDialog::casesChanged(const QString& folder)
{
    if (!m_resultsChosen)
        resultsFolder->setText(folder.trimmed().isEmpty() ? QString()
                                                          : QDir(folder.trimmed()).filePath(tr(kResultsSubfolder)));
    startButton->setEnabled(!folder.trimmed().isEmpty() && !resultsFolder->text().trimmed().isEmpty());
}

void ArchiveRunDialog::chooseCases()
{
    const QString start = casesFolder->text().trimmed().isEmpty() ? m_startFolder : casesFolder->text().trimmed();
    const QString folder = m_dialogs.openFolderName(this, tr("Папка с книгами генотипов"), start);
    if (!folder.isEmpty())
        casesFolder->setText(QDir::toNativeSeparators(folder));
}

void ArchiveRunDialog::chooseResults()
{
    const QString start = resultsFolder->text().trimmed().isEmpty() ? m_startFolder : resultsFolder->text().trimmed();
    const QString folder = m_dialogs.openFolderName(this, tr("Папка для результатов"), start);
    if (folder.isEmpty())
        return;
    m_resultsChosen = true;
    resultsFolder->setText(QDir::toNativeSeparators(folder));
}

std::filesystem::path ArchiveRunDialog::casesPath() const
{
    return std::filesystem::path(casesFolder->text().trimmed().toStdU16String());
}

std::filesystem::path ArchiveRunDialog::resultsPath() const
{
    return std::filesystem::path(resultsFolder->text().trimmed().toStdU16String());
}

bool ArchiveRunDialog::withReports() const
{
    return pdfReports->isChecked();
}

} // namespace app
