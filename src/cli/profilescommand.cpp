// SPDX-License-Identifier: GPL-3.0-or-later
#include "profilescommand.h"

#include <memory>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "archive/summaryformat.h"
#include "automation/readmessages.h"
#include "cli/commonoptions.h"
#include "cli/exitstatus.h"
#include "freqdb/datafiles.h"
#include "freqdb/datafolder.h"
#include "profiles/profilecase.h"

namespace cli {
namespace {

constexpr const char* kSynopsis = "  paternity-index profiles EXPORT [--data DIR] [--format text|csv|json]\n";

constexpr const char* kDescription
    = "profiles: показывает образцы экспорта генотипов (текст .txt/.tsv/.csv программы генотипирования:\n"
      "строка на образец и маркер с Allele 1..N, строка на аллель или строка на образец) с числом\n"
      "типированных маркеров и маркеры, для которых в папке данных нет таблицы частот. Дело из\n"
      "экспорта рассчитывает batch EXPORT --father ИМЯ --child ИМЯ [--mother ИМЯ].\n"
      "  --data DIR    папка с книгами локусов (по умолчанию та же, что у batch)\n"
      "  --format      text (по умолчанию), csv (строка на образец), json (один объект)\n";

struct ProfilesArguments {
    std::vector<std::string> exports;
    std::string data, format;
};

struct ProfilesOptions {
    std::filesystem::path file;
    std::optional<std::filesystem::path> dataDir;
    std::string format = "text";
};

std::string check(const CLI::App& app, const ProfilesArguments& args, ProfilesOptions& options)
{
    if (args.exports.empty())
        return "Не указан экспорт генотипов";
    if (args.exports.size() > 1)
        return "Лишний аргумент «" + args.exports[1] + "»: экспорт генотипов уже указан";
    options.file = args.exports.front();
    if (auto error = checkDataFolder(app, args.data, options.dataDir); !error.empty())
        return error;
    if (app.count("--format") > 0) {
        if (args.format != "text" && args.format != "csv" && args.format != "json")
            return "Формат должен быть text, csv или json, а не «" + args.format + "»";
        options.format = args.format;
    }
    return {};
}

int runProfiles(const ProfilesOptions& options, std::ostream& out, std::ostream& err)
{
    freqdb::DataFolder folder;
    if (options.dataDir) {
        folder.folder = *options.dataDir;
    } else {
        const freqdb::DataFolderLookup found
            = freqdb::findDataFolder(freqdb::dataFolderPlaces(std::filesystem::current_path()));
        if (!found.data) {
            err << freqdb::dataFolderMissingMessage(found.lookedIn) << '\n';
            return kExitFailure;
        }
        folder = *found.data;
    }
    // The lab's folder over the installed one: the loci of both.
    const std::string dataDir = folder.shown();
    std::vector<std::string> loci;
    try {
        for (const freqdb::LocusWorkbooks& workbooks : freqdb::listDataFiles(folder).loci)
            loci.push_back(workbooks.locus);
    } catch (const std::filesystem::filesystem_error& e) {
        err << "Папка данных " << automation::validUtf8(dataDir) << " не читается: " << e.code().message() << '\n';
        return kExitFailure;
    }
    if (loci.empty()) {
        err << "В папке данных " << automation::validUtf8(dataDir) << " нет книг локусов\n";
        return kExitFailure;
    }

    profiles::GenotypeExport data;
    try {
        data = profiles::readGenotypeExport(options.file);
    } catch (const profiles::ExportError& e) {
        err << e.what() << '\n';
        return kExitFailure;
    }
    const std::vector<std::string> withoutTable = profiles::markersWithoutTable(data, loci);
    // Samples given twice with different alleles (a control injected again): no case takes them.
    std::string ambiguous;
    for (const auto& s : data.samples) {
        if (!s.conflict.empty())
            ambiguous += (ambiguous.empty() ? "«" : "; «") + s.name + "» (" + s.conflict + ")";
    }
    const std::string ambiguousNote = "Образцы, данные дважды с разными аллелями (для дела не берутся): " + ambiguous;
    if (options.format == "json") {
        nlohmann::ordered_json samples = nlohmann::ordered_json::array();
        nlohmann::ordered_json conflicts = nlohmann::ordered_json::array();
        for (const auto& s : data.samples) {
            samples.push_back({{"sample", s.name}, {"typed_markers", s.typedMarkers()}});
            if (!s.conflict.empty())
                conflicts.push_back({{"sample", s.name}, {"conflict", s.conflict}});
        }
        nlohmann::ordered_json doc = {{"file", automation::validUtf8(options.file.string())},
                                      {"layout", data.layout},
                                      {"samples", samples},
                                      {"markers_without_table", withoutTable},
                                      {"ambiguous_samples", conflicts},
                                      {"notes", data.notes}};
        out << doc.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    } else if (options.format == "csv") {
        out << "sample,typed_markers\n";
        for (const auto& s : data.samples)
            out << archive::csvField(s.name) << ',' << s.typedMarkers() << '\n'; // names from outside
        if (!withoutTable.empty())
            err << profiles::markersWithoutTableNote(withoutTable) << '\n';
        if (!ambiguous.empty())
            err << ambiguousNote << '\n';
        for (const auto& note : data.notes)
            err << note << '\n';
    } else {
        out << "Экспорт " << automation::validUtf8(options.file.string()) << " (" << data.layout << ")\n";
        out << "Образцов: " << data.samples.size() << "; образец - типировано маркеров:\n";
        for (const auto& s : data.samples)
            out << "  " << s.name << '\t' << s.typedMarkers() << '\n';
        if (!withoutTable.empty())
            out << profiles::markersWithoutTableNote(withoutTable) << '\n';
        if (!ambiguous.empty())
            out << ambiguousNote << '\n';
        for (const auto& note : data.notes)
            out << note << '\n';
    }
    return kExitOk;
}

} // namespace

Command addProfilesCommand(CLI::App& program)
{
    CLI::App* app = program.add_subcommand("profiles");
    auto args = std::make_shared<ProfilesArguments>();
    auto options = std::make_shared<ProfilesOptions>();
    app->add_option("EXPORT", args->exports);
    app->add_option("--data", args->data);
    app->add_option("--format", args->format);
    return {app,
            kSynopsis,
            kDescription,
            &args->exports,
            [app, args, options] { return check(*app, *args, *options); },
            [options](std::ostream& out, std::ostream& err) { return runProfiles(*options, out, err); }};
}

} // namespace cli
