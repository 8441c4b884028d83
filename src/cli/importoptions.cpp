// SPDX-License-Identifier: GPL-3.0-or-later
#include "importoptions.h"

#include <memory>

#include <CLI/CLI.hpp>

#include "cli/commonoptions.h"
#include "cli/importcommand.h"

namespace cli {
namespace {

constexpr const char* kSynopsis
    = "  paternity-index import TABLE --population rus|white|black [--data DIR] [--origin NAME]\n"
      "                  [--new-loci] [--prune] [--dry-run]\n"
      "  paternity-index import --undo [--data DIR]\n";

constexpr const char* kDescription
    = "import: вносит опубликованную таблицу частот аллелей в книги локусов папки данных как листы\n"
      "\"<локус>-rus\" (-white, -black): текст .csv/.tsv/.txt (строка на аллель, столбец на локус или\n"
      "строка на локус; UTF-8, UTF-16 или Windows-1251), первый лист книги .xlsx/.xls/.ods или XML-выгрузка\n"
      "базы частот. Всё или ничего: прежние книги переносятся в DIR/backup-<дата>-<время>.\n"
      "  --population  популяция, чьи листы пишутся: rus, white или black\n"
      "  --data DIR    папка с книгами локусов (по умолчанию та же, что у batch; поверх установленной\n"
      "                с программой пишет свои книги в ~/.local/share/paternity-index/data)\n"
      "  --origin NAME популяция XML-выгрузки или столбца population, если их несколько\n"
      "  --new-loci    локусу без книги в папке создать новую книгу\n"
      "  --prune       книги, которых нет в таблице, перенести в резервную папку\n"
      "  --dry-run     только напечатать, что будет записано\n"
      "  --undo        вернуть папку к виду до вноса, прерванного на середине\n";

// The texts as given; check() turns them into ImportOptions.
struct ImportArguments {
    std::vector<std::string> tables;
    std::string population, data, origin;
    bool newLoci = false, prune = false, dryRun = false, undo = false;
};

std::string check(const CLI::App& app, const ImportArguments& args, ImportOptions& options)
{
    if (args.undo) {
        if (!args.tables.empty() || app.count("--population") > 0 || args.newLoci || args.prune || args.dryRun)
            return "--undo берёт только --data";
        options.undo = true;
        return checkDataFolder(app, args.data, options.dataDir);
    }
    if (args.tables.empty())
        return "Не указана таблица частот";
    if (args.tables.size() > 1)
        return "Лишний аргумент «" + args.tables[1] + "»: таблица частот уже указана";
    options.table = args.tables.front();
    if (auto error = checkPopulation(app, args.population, options.population); !error.empty())
        return error;
    if (auto error = checkDataFolder(app, args.data, options.dataDir); !error.empty())
        return error;
    if (app.count("--origin") > 0) {
        if (args.origin.empty())
            return "Пустое имя популяции в --origin";
        options.origin = args.origin;
    }
    options.newLoci = args.newLoci;
    options.prune = args.prune;
    options.dryRun = args.dryRun;
    return {};
}

} // namespace

Command addImportCommand(CLI::App& program)
{
    CLI::App* app = program.add_subcommand("import");
    auto args = std::make_shared<ImportArguments>();
    auto options = std::make_shared<ImportOptions>();
    app->add_option("TABLE", args->tables);
    app->add_option("--population", args->population);
    app->add_option("--data", args->data);
    app->add_option("--origin", args->origin);
    app->add_flag("--new-loci", args->newLoci);
    app->add_flag("--prune", args->prune);
    app->add_flag("--dry-run", args->dryRun);
    app->add_flag("--undo", args->undo);
    return {app,
            kSynopsis,
            kDescription,
            &args->tables,
            [app, args, options] { return check(*app, *args, *options); },
            [options](std::ostream& out, std::ostream& err) { return runImport(*options, out, err); }};
}

} // namespace cli
