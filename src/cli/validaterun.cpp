// SPDX-License-Identifier: GPL-3.0-or-later
#include "validaterun.h"

#include <ctime>
#include <random>
#include <system_error>

#include "automation/workbook.h"
#include "cli/commanddata.h"
#include "cli/exitstatus.h"
#include "cli/settingoverrides.h"
#include "cli/validateoutput.h"
#include "cli/validationreportfile.h"
#include "freqdb/locusloader.h"
#include "freqdb/tablesfingerprint.h"
#include "text/numberformat.h"
#include "validation/tablecheck.h"
#include "version/projectversion.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

std::string nowText()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%d.%m.%Y %H:%M", &local);
    return text;
}

fs::path fullPath(const fs::path& path)
{
    std::error_code ec;
    const auto full = fs::absolute(path, ec);
    return ec ? path : full.lexically_normal();
}

// The message's line that names the workbook and the reason (the loader's first line is the
// general "cannot read" message).
std::string reasonLine(const std::string& message)
{
    const std::size_t first = message.find('\n');
    if (first == std::string::npos)
        return message;
    return message.substr(first + 1, message.find('\n', first + 1) - first - 1);
}

// The other populations in the same folder: a population whose worksheets are missing from some
// workbook cannot be loaded, so those loci exist for one population and not for the other.
std::vector<std::string> populationWarnings(const freqdb::DataFolder& data, freqdb::Population chosen,
                                            const freqdb::LocusTable& table, const automation::WorkbookReader& reader,
                                            const text::NumberFormat& format)
{
    std::vector<std::string> warnings;
    for (const auto other :
         {freqdb::Population::Russians, freqdb::Population::UsCaucasians, freqdb::Population::UsBlacks}) {
        if (other == chosen)
            continue;
        const freqdb::LoadResult loaded = freqdb::LoadDataFolder(data, other, reader, format);
        const std::string name = "Популяция «" + std::string(freqdb::populationName(other)) + "»";
        if (loaded.status != freqdb::LoadStatus::Loaded) {
            warnings.push_back(name + " из этой папки не загружается, локусы есть не для всех популяций: "
                               + reasonLine(loaded.message));
            continue;
        }
        for (int k = 1; k <= table.LocusCount(); ++k) {
            const std::string& locus = table.record(static_cast<std::uint8_t>(k)).Name;
            if (loaded.table.LocusIndexOf(locus) == 0)
                warnings.push_back(name + ": нет локуса " + locus);
        }
    }
    return warnings;
}

std::vector<validation::IdentityLine> identityOf(const ValidateOptions& options, const freqdb::DataFolder& data,
                                                 const freqdb::LocusTable& table, std::uint64_t seed,
                                                 const std::string& madeAt)
{
    // A lab's folder over the installed one: both are named, as the tables come from both.
    const std::string dataFolderName = data.layered() ? data.shown() : fullPath(data.folder).string();
    std::vector<validation::IdentityLine> lines = {
        {"madeAt", "Дата и время", madeAt},
        {"program", "Программа", std::string("paternity-index, версия ") + ::version::kVersion},
        {"dataFolder", "Папка данных", dataFolderName},
        {"population", "Референтная популяция",
         std::string(freqdb::populationName(options.population)) + " ("
             + std::string(freqdb::populationCode(options.population)) + ")"},
        {"fingerprint", "Отпечаток таблиц частот (SHA-256)", freqdb::tablesFingerprint(table)},
        {"loci", "Локусов в таблицах", std::to_string(table.LocusCount())},
    };
    const freqdb::LabSettings& settings = table.settings();
    // The settings in force, as the case report lists them: the model, the minimum, their source.
    const char* keys[] = {"mutationModel", "minFrequency", "settingsSource"};
    std::size_t k = 0;
    for (auto& [label, value] : freqdb::settingsLines(settings))
        lines.push_back({k < 3 ? keys[k++] : "setting", std::move(label), std::move(value)});
    lines.push_back({"seed", "Зерно генератора случаев (--seed)", std::to_string(seed)});
    lines.push_back({"cases", "Заказано случаев (--cases)", std::to_string(options.cases)});
    return lines;
}

} // namespace

int runValidate(const ValidateOptions& options, std::ostream& out, std::ostream& err,
                const validation::RowEvaluator& evaluator)
{
    const text::NumberFormat format(text::decimalSeparatorFromEnvironment());
    const auto reader = automation::makeFileWorkbookReader();
    std::optional<CommandData> loadedData = loadCommandData(options.dataDir, options.population, *reader, format, err);
    if (!loadedData)
        return kExitFailure;
    const freqdb::DataFolder& data = loadedData->data;
    freqdb::LoadResult& loaded = loadedData->loaded;
    freqdb::LocusTable& table = loaded.table;
    // Validate runs the settings as they stand: unlike batch, it does not refuse θ of the
    // settings file beside --mutation.
    applySettingOverrides(table, options.mutation, options.minFrequency, std::nullopt);

    const std::uint64_t seed
        = options.seed ? *options.seed : (std::uint64_t{std::random_device{}()} << 32) ^ std::random_device{}();
    validation::ValidationProtocol protocol;
    protocol.madeAt = nowText();
    protocol.identity = identityOf(options, data, table, seed, protocol.madeAt);
    protocol.tables = validation::checkTables(table);
    protocol.warnings = protocol.tables.warnings;
    for (std::string& w : populationWarnings(data, options.population, table, *reader, format))
        protocol.warnings.push_back(std::move(w));

    validation::ValidationOptions run;
    run.cases = options.cases;
    run.seed = seed;
    if (options.progress)
        run.progress
            = [&err](std::size_t done, std::size_t total) { err << '\r' << done << '/' << total << std::flush; };
    protocol.result = validation::runValidation(table, format, run, evaluator);
    if (options.progress)
        err << '\n';

    if (options.format == OutputFormat::Json)
        writeValidationJson(protocol, out);
    else
        writeValidationText(protocol, out);
    out.flush();

    int status = protocol.result.allAgree() ? kExitOk : kExitFailure;
    if (!protocol.result.allAgree())
        err << validation::verdictText(protocol.result) << '\n';
    if (options.report) {
        const std::string failure = writeValidationReportFile(*options.report, protocol);
        if (!failure.empty()) {
            err << failure << '\n';
            status = kExitFailure;
        }
    }
    return status;
}

} // namespace cli
