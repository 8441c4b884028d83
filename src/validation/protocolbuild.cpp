// SPDX-License-Identifier: GPL-3.0-or-later
#include "validation/protocolbuild.h"

#include <ctime>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "freqdb/datafiles.h"
#include "freqdb/labsettings.h"
#include "freqdb/labsettingsfile.h"
#include "freqdb/locusloader.h"
#include "freqdb/tablesfingerprint.h"
#include "validation/tablecheck.h"
#include "version/projectversion.h"

namespace validation {
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

std::vector<IdentityLine> identityOf(const ProtocolRequest& request, const std::string& madeAt)
{
    const freqdb::DataFolder& data = *request.data;
    const freqdb::LocusTable& table = *request.table;
    // A lab's folder over the installed one: both are named, as the tables come from both.
    const std::string dataFolderName = data.layered() ? data.shown() : fullPath(data.folder).string();
    std::vector<IdentityLine> lines = {
        {"madeAt", "Дата и время", madeAt},
        {"program", "Программа", std::string("paternity-index, версия ") + ::version::kVersion},
        {"dataFolder", "Папка данных", dataFolderName},
        {"population", "Референтная популяция",
         std::string(freqdb::populationName(request.population)) + " ("
             + std::string(freqdb::populationCode(request.population)) + ")"},
        {"fingerprint", "Отпечаток таблиц частот (SHA-256)", freqdb::tablesFingerprint(table)},
        {"loci", "Локусов в таблицах", std::to_string(table.LocusCount())},
    };
    const freqdb::LabSettings& settings = table.settings();
    // The settings in force, as the case report lists them: the model, the minimum, their source.
    // θ has its line only when on, between the minimum and the source.
    std::vector<const char*> keys = {"mutationModel", "minFrequency"};
    if (settings.theta)
        keys.push_back("theta");
    keys.push_back("settingsSource");
    std::size_t k = 0;
    for (auto& [label, value] : freqdb::settingsLines(settings))
        lines.push_back({k < keys.size() ? keys[k++] : "setting", std::move(label), std::move(value)});
    lines.push_back({"seed", "Зерно генератора случаев (--seed)", std::to_string(request.seed)});
    lines.push_back({"cases", "Заказано случаев (--cases)", std::to_string(request.cases)});
    return lines;
}

} // namespace

std::uint64_t newSeed()
{
    return (std::uint64_t{std::random_device{}()} << 32) ^ std::random_device{}();
}

ValidationProtocol buildProtocol(const ProtocolRequest& request, const automation::WorkbookReader& reader,
                                 const text::NumberFormat& format, const ProgramComputations& program)
{
    ValidationProtocol protocol;
    protocol.madeAt = nowText();
    protocol.identity = identityOf(request, protocol.madeAt);
    protocol.tables = checkTables(*request.table);
    protocol.warnings = protocol.tables.warnings;
    for (std::string& w : populationWarnings(*request.data, request.population, *request.table, reader, format))
        protocol.warnings.push_back(std::move(w));

    protocol.source = checkSource(*request.data, request.population, *request.table, reader);
    if (!protocol.source.found)
        protocol.identity.push_back({"source", "Источник таблиц", kNoSourceText});
    else
        protocol.identity.push_back({"source", "Источник таблиц", protocol.source.summary()});
    for (const std::string& locus : protocol.source.lociWithoutSource)
        protocol.warnings.push_back("Локус " + locus + ": нет в источнике таблиц, сверка не проводилась");
    std::filesystem::path settingsFile = freqdb::fileInForce(*request.data, std::string(freqdb::kSettingsFileName));
    if (settingsFile.empty())
        settingsFile = request.data->folder / freqdb::kSettingsFileName;
    protocol.settings = checkSettings(request.table->settings(), settingsFile, request.settingOptions);

    ValidationOptions run;
    run.cases = request.cases;
    run.seed = request.seed;
    run.progress = request.progress;
    protocol.result = runValidation(*request.table, format, run, program, protocol.settings.plain);
    return protocol;
}

} // namespace validation
