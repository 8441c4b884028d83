// SPDX-License-Identifier: GPL-3.0-or-later
#include "importcommand.h"

#include "automation/readmessages.h"
#include "cli/exitstatus.h"
#include "freqdb/datafolder.h"
#include "popimport/folderupdate.h"
#include "popimport/importrun.h"

namespace cli {

int runImport(const ImportOptions& options, std::ostream& out, std::ostream& err)
{
    const auto reader = automation::makeFileWorkbookReader();
    // A dry run writes nothing, not even the lab's copy of the installed folder: it plans against
    // the folder the window would load.
    const freqdb::DataFolderPlaces places = freqdb::dataFolderPlaces(std::filesystem::current_path());
    std::filesystem::path dataDir;
    if (options.dataDir || !options.dryRun) {
        try {
            const freqdb::WritableDataFolder writable = freqdb::writableDataFolder(places, options.dataDir);
            dataDir = writable.folder;
            if (!writable.note.empty())
                err << writable.note << "\n";
        } catch (const std::runtime_error& e) {
            err << e.what() << "\nНичего не записано.\n";
            return kExitFailure;
        }
    } else {
        const freqdb::DataFolderLookup found = freqdb::findDataFolder(places);
        if (!found.folder) {
            err << freqdb::dataFolderMissingMessage(found.lookedIn) << '\n';
            return kExitFailure;
        }
        dataDir = *found.folder;
    }
    try {
        const popimport::ImportChoice choice{options.table, options.population, options.origin, options.newLoci,
                                             options.prune};
        const popimport::PreparedImport prepared = popimport::prepareImport(choice, dataDir, *reader);
        out << popimport::importSummary(prepared, choice);
        if (options.dryRun) {
            out << "Проверка (--dry-run): ничего не записано.\n";
            return kExitOk;
        }
        out.flush();
        const popimport::UpdateResult done = popimport::applyImport(prepared.plan, dataDir);
        out << popimport::importDoneLine(prepared, done.backupDir) << "\n";
        return kExitOk;
    } catch (const popimport::ImportError& e) {
        err << e.what() << "\nНичего не записано.\n";
        return kExitFailure;
    }
}

} // namespace cli
