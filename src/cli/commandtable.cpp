// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandtable.h"

#include "freqdb/datafolder.h"
#include "freqdb/labsettings.h"
#include "freqdb/locusloader.h"

namespace cli {

std::optional<CommandTable> loadCommandTable(const std::optional<std::filesystem::path>& dataDir,
                                             freqdb::Population population, const automation::WorkbookReader& reader,
                                             const text::NumberFormat& format, std::ostream& err)
{
    CommandTable loaded;
    if (dataDir) {
        loaded.dataDir = *dataDir;
    } else {
        const freqdb::DataFolderLookup found
            = freqdb::findDataFolder(freqdb::dataFolderPlaces(std::filesystem::current_path()));
        if (!found.folder) {
            err << freqdb::dataFolderMissingMessage(found.lookedIn) << '\n';
            return std::nullopt;
        }
        loaded.dataDir = *found.folder;
    }
    freqdb::LoadResult result = freqdb::LoadLocusTableFromFolder(loaded.dataDir, population, reader, format);
    if (result.status != freqdb::LoadStatus::Loaded) {
        err << result.message << '\n';
        if (result.status == freqdb::LoadStatus::FilesNotFound)
            err << "Папка: " << loaded.dataDir.string() << '\n';
        return std::nullopt;
    }
    loaded.table = std::move(result.table);
    return loaded;
}

std::optional<std::string> applySettingOverrides(freqdb::LocusTable& table, const std::optional<std::string>& mutation,
                                                 const std::optional<std::string>& minFrequency,
                                                 const std::optional<std::string>& theta)
{
    if (!mutation && !minFrequency && !theta)
        return std::nullopt;
    freqdb::LabSettings settings = table.settings();
    if (mutation)
        freqdb::applyMutationSetting(settings, *mutation);
    if (minFrequency)
        freqdb::applyMinFrequencySetting(settings, *minFrequency);
    if (theta)
        freqdb::applyThetaSetting(settings, *theta);
    std::optional<std::string> conflict = freqdb::settingsConflict(settings);
    if (conflict)
        *conflict = "Файл настроек и командная строка: " + *conflict;
    settings.source = settings.source.empty() ? "командная строка" : settings.source + " и командная строка";
    table.setSettings(std::move(settings));
    return conflict;
}

} // namespace cli
