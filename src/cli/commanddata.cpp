// SPDX-License-Identifier: GPL-3.0-or-later
#include "commanddata.h"

namespace cli {

std::optional<CommandData> loadCommandData(const std::optional<std::filesystem::path>& dataDir,
                                           freqdb::Population population, const automation::WorkbookReader& reader,
                                           const text::NumberFormat& format, std::ostream& err)
{
    freqdb::DataFolder data;
    if (dataDir) {
        data.folder = *dataDir;
    } else {
        const freqdb::DataFolderLookup found
            = freqdb::findDataFolder(freqdb::dataFolderPlaces(std::filesystem::current_path()));
        if (!found.data) {
            err << freqdb::dataFolderMissingMessage(found.lookedIn) << '\n';
            return std::nullopt;
        }
        for (const std::string& note : found.notes)
            err << note << '\n';
        data = *found.data;
    }
    freqdb::LoadResult loaded = freqdb::LoadDataFolder(data, population, reader, format);
    if (loaded.status != freqdb::LoadStatus::Loaded) {
        err << loaded.message << '\n';
        if (loaded.status == freqdb::LoadStatus::FilesNotFound)
            err << "Папка: " << data.shown() << '\n';
        return std::nullopt;
    }
    for (const std::string& note : loaded.notes)
        err << note << '\n';
    return CommandData{std::move(data), std::move(loaded)};
}

} // namespace cli
