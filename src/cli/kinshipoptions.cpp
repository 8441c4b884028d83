// SPDX-License-Identifier: GPL-3.0-or-later
#include "kinshipoptions.h"

#include <memory>

#include <CLI/CLI.hpp>

#include "cli/commonoptions.h"

namespace cli {
namespace {

constexpr const char* kSynopsis
    = "  paternity-index kinship CASE --population rus|white|black [--data DIR] [--prior P]\n"
      "                  [--format text|csv|json] [--output RESULTS.xlsx] [--report REPORT.pdf]\n"
      "                  [--mutation off|proportional:RATE] [--min-frequency off|P] [--theta off]\n"
      "  paternity-index kinship EXPORT --child NAME [--mother NAME] --person \"РОЛЬ=ОБРАЗЕЦ\"...\n"
      "                  --population rus|white|black [другие параметры kinship]\n";

constexpr const char* kDescription
    = "kinship: дело без предполагаемого отца - по генотипам его родственников (его отца и матери,\n"
      "братьев и сестер, других его детей с их матерями). CASE - книга родственников (.xlsx, .xls,\n"
      ".ods): строка 1 - \"№\", \"Локус\" и по столбцу на лицо с заголовком-ролью: \"Ребенок\", \"Мать\",\n"
      "\"Предполагаемый отец\" (типированный - для контроля), \"Отец предполагаемого отца\", \"Мать\n"
      "предполагаемого отца\", \"Брат предполагаемого отца N\", \"Сестра предполагаемого отца N\",\n"
      "\"Ребенок предполагаемого отца N\", \"Мать ребенка предполагаемого отца N\" (номер N связывает\n"
      "ребенка с его матерью); далее строка на локус с генотипами \"a/b\" (пусто или \"Нет/Нет\" - не\n"
      "типирован). LR локуса - отношение правдоподобий родословной: Hp - ребенок от предполагаемого\n"
      "отца и матери; Hd - ребенок от матери и неродственного мужчины. Строки без LR (родственники\n"
      "несовместимы, ребенок не типирован) названы в выводе; код выхода 3, если такие есть.\n"
      "  --child NAME [--mother NAME] --person \"РОЛЬ=ОБРАЗЕЦ\"\n"
      "                дело - экспорт генотипов (см. profiles): образцы ребенка, матери и каждого\n"
      "                родственника, например --person \"Брат предполагаемого отца 1=S-17\"\n"
      "  --theta       поправка θ для родословной не применяется: off или не указывать\n"
      "  остальные параметры - как у batch\n";

struct KinshipArguments {
    std::vector<std::string> cases;
    std::string population, data, prior, output, report, format, mutation, minFrequency, theta, child, mother;
    std::vector<std::string> persons;
};

std::string check(const CLI::App& app, const KinshipArguments& args, KinshipOptions& options)
{
    if (args.cases.empty())
        return "Не указана книга родственников";
    if (args.cases.size() > 1)
        return "kinship рассчитывает одно дело: лишний аргумент «" + args.cases[1] + "»";
    options.caseFile = args.cases.front();
    if (auto error = checkPopulation(app, args.population, options.population); !error.empty())
        return error;
    if (auto error = checkDataFolder(app, args.data, options.dataDir); !error.empty())
        return error;
    if (auto error = checkPrior(app, args.prior, options.prior); !error.empty())
        return error;
    if (app.count("--output") > 0) {
        if (auto error = resultsWorkbookNameError(args.output); !error.empty())
            return error;
        options.output = args.output;
    }
    if (app.count("--report") > 0) {
        if (auto error = reportNameError(args.report); !error.empty())
            return error;
        options.report = args.report;
    }
    if (auto error = checkSettingOptions(app, args.mutation, args.minFrequency, options.mutation, options.minFrequency);
        !error.empty())
        return error;
    if (auto error = checkThetaOption(app, args.theta, options.mutation, options.theta); !error.empty())
        return error;
    if (auto error = checkOutputFormat(app, args.format, options.format); !error.empty())
        return error;
    const bool child = app.count("--child") > 0;
    if (!child && (app.count("--mother") > 0 || app.count("--person") > 0))
        return "Дело из экспорта генотипов требует --child";
    if (child) {
        if (args.child.empty())
            return "Пустое имя образца в --child";
        options.child = args.child;
        if (app.count("--mother") > 0)
            options.mother = args.mother;
        options.persons = args.persons;
    }
    return {};
}

} // namespace

Command addKinshipCommand(CLI::App& program)
{
    CLI::App* app = program.add_subcommand("kinship");
    auto args = std::make_shared<KinshipArguments>();
    auto options = std::make_shared<KinshipOptions>();
    app->add_option("CASE", args->cases);
    app->add_option("--population", args->population);
    app->add_option("--data", args->data);
    app->add_option("--prior", args->prior);
    app->add_option("--output", args->output);
    app->add_option("--report", args->report);
    app->add_option("--format", args->format);
    app->add_option("--mutation", args->mutation);
    app->add_option("--min-frequency", args->minFrequency);
    app->add_option("--theta", args->theta);
    app->add_option("--child", args->child);
    app->add_option("--mother", args->mother);
    // Every --person counts: the default policy keeps the last value of an option.
    app->add_option("--person", args->persons)->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    return {app,
            kSynopsis,
            kDescription,
            &args->cases,
            [app, args, options] { return check(*app, *args, *options); },
            [options](std::ostream& out, std::ostream& err) { return runKinship(*options, out, err); }};
}

} // namespace cli
