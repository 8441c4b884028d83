// SPDX-License-Identifier: GPL-3.0-or-later
// The run of `kinship`: the tables loaded as batch loads them, the case read, every locus
// evaluated by the pedigree likelihood, the outputs written. Exit statuses as batch's: 1 when the
// case cannot be read or no locus has an LR, 3 when some have none (or the probability is not
// defined), 0 otherwise.
#include <optional>

#include "archive/archiverun.h"
#include "archive/caseindex.h"
#include "archive/casesummary.h"
#include "automation/workbook.h"
#include "automation/workbookwriter.h"
#include "cli/commanddata.h"
#include "cli/exitstatus.h"
#include "cli/kinshipoptions.h"
#include "cli/kinshipoutput.h"
#include "cli/kinshipreportfile.h"
#include "cli/settingoverrides.h"
#include "kinship/exportkinshipcase.h"
#include "kinship/kinshipresultsworkbook.h"
#include "kinship/kinshiptexts.h"
#include "kinship/relativesworkbook.h"
#include "profiles/genotypeexport.h"

namespace cli {
namespace {

// The case from the relatives workbook, or from the export when --child names its samples.
std::optional<kinship::KinshipCase> readCase(const KinshipOptions& options, const freqdb::LocusTable& table,
                                             const automation::WorkbookReader& reader, const text::NumberFormat& format,
                                             std::ostream& err)
{
    try {
        if (!options.child)
            return kinship::readRelativesWorkbook(options.caseFile, reader, format);
        const profiles::GenotypeExport data = profiles::readGenotypeExport(options.caseFile);
        return kinship::formExportCase(data, {*options.child, options.mother, options.persons}, table);
    } catch (const kinship::CaseError& e) {
        err << e.what() << '\n';
    } catch (const profiles::ExportError& e) {
        err << e.what() << '\n';
    }
    return std::nullopt;
}

} // namespace

int runKinship(const KinshipOptions& options, std::ostream& out, std::ostream& err)
{
    const text::NumberFormat format(text::decimalSeparatorFromEnvironment());
    const auto reader = automation::makeFileWorkbookReader();
    std::optional<CommandData> loadedData = loadCommandData(options.dataDir, options.population, *reader, format, err);
    if (!loadedData)
        return kExitFailure;
    freqdb::LocusTable& table = loadedData->loaded.table;
    const freqdb::DataFolder& data = loadedData->data;
    const std::filesystem::path dataDir = data.layered() ? std::filesystem::path(data.shown()) : data.folder;
    if (const auto conflict = applySettingOverrides(table, options.mutation, options.minFrequency, options.theta,
                                                    format.decimalSeparator())) {
        err << *conflict << '\n';
        return kExitUsage;
    }
    if (table.settings().theta) {
        err << kinship::kThetaRefused << '\n';
        return kExitFailure;
    }
    const std::string prior = priorText(options.prior, format.decimalSeparator()).value_or(options.prior);

    const std::optional<kinship::KinshipCase> kinshipCase = readCase(options, table, *reader, format, err);
    if (!kinshipCase)
        return kExitFailure;
    for (const auto& note : kinshipCase->notes)
        err << note << '\n';
    const kinship::KinshipResult result = kinship::evaluateKinshipCase(*kinshipCase, table, format, prior);
    const engine::CombinedIndexResult& combined = result.combined;
    if (combined.status == engine::CombinedIndexStatus::BadPrior) {
        err << combined.message << '\n';
        return kExitUsage;
    }
    const bool noIndex = combined.status == engine::CombinedIndexStatus::NoSelection;
    if (noIndex)
        err << options.caseFile.string() << ": " << archive::kNoIndexReason << '\n';
    else if (result.withoutLr > 0)
        err << options.caseFile.string() << ": строк без LR: " << result.withoutLr << '\n';

    const KinshipOutput output{std::string(freqdb::populationCode(options.population)), &*kinshipCase, &result,
                               archive::shownProbability(combined), &table.settings()};
    switch (options.format) {
    case OutputFormat::Text:
        writeKinshipText(output, out);
        break;
    case OutputFormat::Csv:
        writeKinshipCsv(output, out);
        err << combined.cpiText << '\n' << output.probability << '\n';
        break;
    case OutputFormat::Json:
        writeKinshipJson(output, out);
        break;
    }
    out.flush();

    int status = noIndex                                                                             ? kExitFailure
                 : result.withoutLr > 0 || combined.status == engine::CombinedIndexStatus::Undefined ? kExitIncomplete
                                                                                                     : kExitOk;
    const auto sameAsCase = [&](const std::filesystem::path& file) {
        return archive::fileIdentity(file) == archive::fileIdentity(options.caseFile);
    };
    if (options.output && sameAsCase(*options.output)) {
        err << "книга результатов не записана: " << options.output->string() << " - файл этого дела\n";
        status = kExitFailure;
    } else if (options.output) {
        try {
            const auto writer = automation::makeXlsxWorkbookWriter();
            kinship::saveKinshipResultsWorkbook(*options.output, *kinshipCase, result, combined.probabilityText,
                                                options.population, *writer);
        } catch (const std::exception& e) {
            err << e.what() << '\n';
            status = kExitFailure;
        }
    }
    if (options.report && sameAsCase(*options.report)) {
        err << "отчёт не записан: " << options.report->string() << " - файл этого дела\n";
        status = kExitFailure;
    } else if (options.report) {
        const std::string failure
            = writeKinshipReportFile(*options.report, {&*kinshipCase, &result, &table, dataDir, options.caseFile,
                                                       output.probability, prior, &format});
        if (!failure.empty()) {
            err << failure << '\n';
            status = kExitFailure;
        }
    }
    return status;
}

} // namespace cli
