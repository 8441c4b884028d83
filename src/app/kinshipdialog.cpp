// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/kinshipdialog.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <exception>

#include "app/dialogs.h"
#include "app/windowtexts.h"
#include "archive/archiverun.h"
#include "archive/caseindex.h"
#include "automation/workbookwriter.h"
#include "kinship/exportkinshipcase.h"
#include "kinship/kinshipreportcase.h"
#include "kinship/kinshipresultsworkbook.h"
#include "kinship/kinshiptexts.h"
#include "kinship/relativesworkbook.h"
#include "report/kinshipreport.h"

namespace app {
namespace {

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

std::filesystem::path toPath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

QString fromPath(const std::filesystem::path& path)
{
    return QString::fromStdU16String(path.u16string());
}

const char* const kNoRole = "Нет";

// The roles offered for an export's sample; the list is editable, so a third brother or a third
// child of the alleged father is typed with his number.
QStringList roleChoices()
{
    using kinship::RoleKind;
    QStringList choices{QString::fromUtf8(kNoRole)};
    for (RoleKind kind :
         {RoleKind::Child, RoleKind::Mother, RoleKind::AllegedFather, RoleKind::FathersFather, RoleKind::FathersMother})
        choices << qs(kinship::Role{kind, 0}.header());
    for (int number : {1, 2})
        for (RoleKind kind : {RoleKind::Brother, RoleKind::Sister, RoleKind::OtherChild, RoleKind::OtherChildsMother})
            choices << qs(kinship::Role{kind, number}.header());
    return choices;
}

} // namespace

KinshipDialog::KinshipDialog(Inputs inputs, Dialogs& dialogs, const automation::WorkbookReader& reader,
                             std::filesystem::path workDir, QWidget* parent)
    : QDialog(parent), m_inputs(std::move(inputs)), m_dialogs(dialogs), m_reader(reader), m_workDir(std::move(workDir))
{
    setWindowTitle(tr("Дело по родственникам"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Книга родственников (.xlsx, .xls, .ods) или экспорт генотипов:"), this));
    auto* fileRow = new QHBoxLayout;
    caseFile = new QLineEdit(this);
    caseFile->setReadOnly(true);
    openButton = new QPushButton(tr("Открыть дело…"), this);
    fileRow->addWidget(caseFile, 1);
    fileRow->addWidget(openButton);
    layout->addLayout(fileRow);

    rolesTable = new QTableWidget(0, 2, this);
    rolesTable->setHorizontalHeaderLabels({tr("Образец"), tr("Роль")});
    rolesTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    rolesTable->verticalHeader()->hide();
    rolesTable->setMaximumHeight(160);
    rolesTable->hide();
    layout->addWidget(rolesTable);
    calculateButton = new QPushButton(tr("Рассчитать"), this);
    calculateButton->hide();
    layout->addWidget(calculateButton, 0, Qt::AlignLeft);

    resultsTable = new QTableWidget(this);
    resultsTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    resultsTable->verticalHeader()->hide();
    resultsTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    layout->addWidget(resultsTable, 1);
    cpiLine = new QLabel(this);
    probabilityLine = new QLabel(this);
    cpiLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    probabilityLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(cpiLine);
    layout->addWidget(probabilityLine);
    const QString inForce = tr("Популяция: %1. ").arg(qs(std::string(freqdb::populationName(m_inputs.population))))
                            + qs(freqdb::settingsSummary(m_inputs.table->settings()))
                            + tr(". Априорная вероятность: %1").arg(qs(m_inputs.prior));
    auto* inForceLine = new QLabel(inForce, this);
    inForceLine->setWordWrap(true);
    layout->addWidget(inForceLine);

    auto* buttons = new QHBoxLayout;
    saveReportButton = new QPushButton(tr("Сохранить отчёт…"), this);
    saveWorkbookButton = new QPushButton(tr("Сохранить книгу результатов…"), this);
    auto* closeButton = new QPushButton(tr("Закрыть"), this);
    buttons->addWidget(saveReportButton);
    buttons->addWidget(saveWorkbookButton);
    buttons->addStretch(1);
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);
    clearResults();
    resize(900, 600);

    connect(openButton, &QPushButton::clicked, this, &KinshipDialog::chooseCase);
    connect(calculateButton, &QPushButton::clicked, this, &KinshipDialog::calculate);
    connect(saveReportButton, &QPushButton::clicked, this, &KinshipDialog::saveReport);
    connect(saveWorkbookButton, &QPushButton::clicked, this, &KinshipDialog::saveWorkbook);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

void KinshipDialog::chooseCase()
{
    const QString name = m_dialogs.openGenotypesFileName(this, fromPath(m_workDir));
    if (!name.isEmpty())
        openCase(name);
}

void KinshipDialog::openCase(const QString& path)
{
    clearResults();
    m_export.reset();
    rolesTable->setRowCount(0);
    rolesTable->hide();
    calculateButton->hide();
    caseFile->clear();
    const std::filesystem::path file = toPath(path);
    try {
        if (profiles::isGenotypeExportFile(file)) {
            m_export = profiles::readGenotypeExport(file);
        } else {
            m_source = file;
            caseFile->setText(path);
            evaluate(kinship::readRelativesWorkbook(file, m_reader, *m_inputs.format));
            return;
        }
    } catch (const kinship::CaseError& error) {
        m_dialogs.information(this, QString::fromUtf8(error.what()));
        return;
    } catch (const profiles::ExportError& error) {
        m_dialogs.information(this, QString::fromUtf8(error.what()));
        return;
    }
    m_source = file;
    caseFile->setText(path);
    const QStringList choices = roleChoices();
    for (const std::string& sample : m_export->sampleNames()) {
        const int row = rolesTable->rowCount();
        rolesTable->insertRow(row);
        auto* item = new QTableWidgetItem(qs(sample));
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        rolesTable->setItem(row, 0, item);
        auto* role = new QComboBox(rolesTable);
        role->setEditable(true);
        role->addItems(choices);
        rolesTable->setCellWidget(row, 1, role);
    }
    rolesTable->show();
    calculateButton->show();
}

void KinshipDialog::calculate()
{
    if (!m_export)
        return;
    kinship::ExportChoice choice;
    for (int row = 0; row < rolesTable->rowCount(); ++row) {
        const std::string sample = rolesTable->item(row, 0)->text().toStdString();
        const QString role = static_cast<QComboBox*>(rolesTable->cellWidget(row, 1))->currentText().trimmed();
        if (role.isEmpty() || role == QString::fromUtf8(kNoRole))
            continue;
        const auto parsed = kinship::roleFromHeader(role.toStdString());
        if (parsed && parsed->kind == kinship::RoleKind::Child && choice.child.empty())
            choice.child = sample;
        else if (parsed && parsed->kind == kinship::RoleKind::Mother && !choice.mother)
            choice.mother = sample;
        else // refused by formExportCase with the role's text when it names none, or names one twice
            choice.persons.push_back(role.toStdString() + '=' + sample);
    }
    clearResults();
    if (choice.child.empty()) {
        m_dialogs.information(this, qs(std::string(kinship::kNoChild)));
        return;
    }
    try {
        evaluate(kinship::formExportCase(*m_export, choice, *m_inputs.table));
    } catch (const kinship::CaseError& error) {
        m_dialogs.information(this, QString::fromUtf8(error.what()));
    }
}

void KinshipDialog::evaluate(kinship::KinshipCase kinshipCase)
{
    kinship::KinshipResult result
        = kinship::evaluateKinshipCase(kinshipCase, *m_inputs.table, *m_inputs.format, m_inputs.prior);
    if (result.combined.status == engine::CombinedIndexStatus::BadPrior) {
        m_dialogs.information(this, qs(result.combined.message));
        return;
    }
    m_case = std::move(kinshipCase);
    m_result = std::move(result);
    showResults();
    // Markers of an export left out of the case, as the command states them.
    if (!m_case->notes.empty()) {
        QStringList notes;
        for (const auto& note : m_case->notes)
            notes << qs(note);
        m_dialogs.information(this, notes.join('\n'));
    }
}

void KinshipDialog::clearResults()
{
    m_case.reset();
    m_result.reset();
    resultsTable->clear();
    resultsTable->setRowCount(0);
    resultsTable->setColumnCount(0);
    cpiLine->clear();
    probabilityLine->clear();
    saveReportButton->setEnabled(false);
    saveWorkbookButton->setEnabled(false);
}

void KinshipDialog::showResults()
{
    // The persons by their short names, so the LR stays in view; the full role and the sample
    // are the column's tooltip.
    QStringList header{tr("№"), tr("Локус")};
    for (const auto& person : m_case->persons)
        header << qs(person.role.shortName());
    header << tr("Формула") << tr("LR") << tr("Типированы");
    resultsTable->setColumnCount(static_cast<int>(header.size()));
    resultsTable->setHorizontalHeaderLabels(header);
    for (std::size_t i = 0; i < m_case->persons.size(); ++i) {
        const kinship::CasePerson& person = m_case->persons[i];
        resultsTable->horizontalHeaderItem(static_cast<int>(i) + 2)
            ->setToolTip(qs(person.role.header() + (person.sample.empty() ? "" : ": " + person.sample)));
    }
    resultsTable->setRowCount(static_cast<int>(m_result->rows.size()));
    for (int r = 0; r < resultsTable->rowCount(); ++r) {
        const kinship::KinshipRow& row = m_result->rows[static_cast<std::size_t>(r)];
        QStringList cells{qs(row.number), qs(row.locus)};
        for (const auto& genotype : row.genotypes)
            cells << qs(genotype);
        QStringList typedRoles;
        for (const auto& role : row.typedRoles)
            typedRoles << qs(role);
        cells << qs(row.formula) << qs(row.lr) << typedRoles.join(QStringLiteral(", "));
        for (int c = 0; c < cells.size(); ++c)
            resultsTable->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    resultsTable->resizeColumnsToContents();
    cpiLine->setText(qs(m_result->combined.cpiText));
    probabilityLine->setText(qs(archive::shownProbability(m_result->combined)));
    saveReportButton->setEnabled(true);
    saveWorkbookButton->setEnabled(true);
}

std::filesystem::path KinshipDialog::savePath(const QString& suffix)
{
    const QString proposed = fromPath(m_workDir) + '/' + QFileInfo(fromPath(m_source)).completeBaseName() + suffix;
    QString name = m_dialogs.saveFileName(this, proposed);
    if (name.isEmpty())
        return {};
    const QString extension = suffix.mid(suffix.lastIndexOf('.'));
    if (!name.endsWith(extension, Qt::CaseInsensitive))
        name += extension;
    const std::filesystem::path path = toPath(name);
    // The case's own file is never overwritten by what was calculated from it.
    if (archive::fileIdentity(path) == archive::fileIdentity(m_source)) {
        m_dialogs.information(this, tr("Файл «%1» - файл этого дела: выберите другое имя.").arg(name));
        return {};
    }
    if (QFileInfo::exists(name)
        && m_dialogs.question(this, tr("Вопрос"), WindowTexts::replaceExisting(name)) != Answer::Yes)
        return {};
    return path;
}

void KinshipDialog::saveReport()
{
    if (!m_result)
        return;
    const std::filesystem::path path = savePath(QStringLiteral(".pdf"));
    if (path.empty())
        return;
    const std::string failure = report::writeKinshipReport(
        path, {&*m_case, &*m_result, m_inputs.table, m_inputs.dataFolder, m_source,
               archive::shownProbability(m_result->combined), m_inputs.prior, m_inputs.format});
    if (!failure.empty())
        m_dialogs.error(this, qs(failure));
}

void KinshipDialog::saveWorkbook()
{
    if (!m_result)
        return;
    const std::filesystem::path path = savePath(QStringLiteral(".results.xlsx"));
    if (path.empty())
        return;
    try {
        const auto writer = automation::makeXlsxWorkbookWriter();
        kinship::saveKinshipResultsWorkbook(path, *m_case, *m_result, m_result->combined.probabilityText,
                                            m_inputs.population, *writer);
    } catch (const std::exception& error) {
        m_dialogs.error(this, QString::fromUtf8(error.what()));
    }
}

} // namespace app
