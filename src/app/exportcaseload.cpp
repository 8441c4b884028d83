// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/exportcaseload.h"

#include "app/samplechoicedialog.h"
#include "freqdb/loadmessages.h"

namespace app {

std::optional<exchange::LoadedResults> loadExportCase(QWidget* parent, Dialogs& dialogs,
                                                      const std::filesystem::path& path,
                                                      const freqdb::LocusTable& table, const text::NumberFormat& format)
{
    profiles::GenotypeExport data;
    try {
        data = profiles::readGenotypeExport(path);
    } catch (const profiles::ExportError& e) {
        return exchange::LoadedResults::failed(std::string(freqdb::kReadFailed) + "\n" + e.what());
    }
    std::vector<std::string> loci;
    for (std::uint8_t k = 1; k <= table.LocusCount(); ++k)
        loci.push_back(table.record(k).Name);
    SampleChoiceDialog dialog(data, loci, QString::fromStdString(path.filename().string()), parent);
    if (!dialogs.runDialog(dialog))
        return std::nullopt;
    return profiles::evaluateProfileCase(data, dialog.choice(), table, format, path);
}

} // namespace app
